#pragma once
// The export of the clip without its selected section: the part before the section and the part behind
// it are converted into two temporary files in the output folder, which a join then copies, stream by
// stream, into the output file. The temporaries are named "befor_<base>.<ext>" and "behand_<base>.<ext>",
// numbered like outputs when such a file exists, so a user's file of that name is never touched; they are
// removed when the chain ends, after success, failure or cancel ("error1:%@"/"error2:%@" when that fails).
//
// A section that starts at the clip's start (or ends at its end) leaves one part only: that part is
// converted straight into the output file, with no temporary and no join. A section covering the whole
// clip leaves nothing to export (isEmpty()).
//
// Progress over the whole bar (0..1): with two parts, the part before covers the first third, the part
// behind the second and the join the last; a single part covers the whole bar. The two conversions poll
// in the Default run-loop mode, the join in the Common modes. Main thread only.
#include "toolkit/ChainedExportJob.h"
#include "toolkit/ExportRunController.h"
#include "editor/ClipExportJob.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class DeleteSectionExport : public ExportRunController::Run
{
public:
    enum class Phase { Before, Behind, Join };

    explicit DeleteSectionExport(ExportSources sources);
    ~DeleteSectionExport() override;
    DeleteSectionExport(const DeleteSectionExport &) = delete;
    DeleteSectionExport &operator=(const DeleteSectionExport &) = delete;

    bool hasBefore() const { return m_hasBefore; }
    bool hasBehind() const { return m_hasBehind; }
    bool isEmpty() const { return !m_hasBefore && !m_hasBehind; }

    // The bar's value (0..1) for a job's percent in a phase, given which parts exist.
    static double barValue(Phase phase, double percent, bool twoParts = true);

    // Fixes the output and temporary names (the clip's exportPath, exportbeforPath and exportbehandPath
    // are set) and runs the chain; `progress` gets the bar's value, `finish` the outcome once, after the
    // temporaries are gone. Call once. Destroying the object stops a running job and removes them too.
    void start(std::function<void(double)> progress,
               std::function<void(const ChainedExportJob::Outcome &)> finish);
    void cancel() override;
    const ChainedExportJob *chain() const override { return m_chain.get(); }

    // Removes the temporary files this export named (only those; they did not exist when named).
    void removeTemporaries() const;

    QString outputPath() const { return m_outputPath; }
    QString beforePath() const { return m_beforePath; }
    QString behindPath() const { return m_behindPath; }

private:
    ChainedExportJob::Step joinStep(std::function<void(double)> progress) const;

    ExportSources m_sources;
    bool m_hasBefore = false;
    bool m_hasBehind = false;
    QString m_outputPath;
    QString m_beforePath;
    QString m_behindPath;
    std::unique_ptr<ChainedExportJob> m_chain;
};
