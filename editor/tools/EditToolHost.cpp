#include "editor/tools/EditToolHost.h"

#include "media/RDMoviePlayer.h"

void refreshPausedPreview(const EditToolHost &host)
{
    if (host.rdPlayer() && !host.isPlaying())
        host.rdPlayer()->Refresh();
}
