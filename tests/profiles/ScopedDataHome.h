#pragma once
// Points XDG_DATA_HOME at a fresh folder while the object lives, so each test starts with no custom
// profiles. Header-only.
#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class ScopedDataHome
{
public:
    ScopedDataHome()
        : m_hadPrevious(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
        , m_previous(qgetenv("XDG_DATA_HOME"))
    {
        EXPECT_TRUE(m_dir.isValid());
        qputenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit());
    }
    ~ScopedDataHome()
    {
        if (m_hadPrevious)
            qputenv("XDG_DATA_HOME", m_previous);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    ScopedDataHome(const ScopedDataHome &) = delete;
    ScopedDataHome &operator=(const ScopedDataHome &) = delete;

    QString path() const { return m_dir.path(); }

private:
    bool m_hadPrevious;
    QByteArray m_previous;
    QTemporaryDir m_dir;
};
