#include "ui/dialogs/modelmessages.h"

#include "core/modelstore.h"
#include "platform/gui/messagebox.h"

void loadModelTellingUser(Workspace &workspace, const QString &name)
{
    if (const Status loaded = ModelStore::loadModel(workspace, name); !loaded)
        Ask::show(loaded.error(), QStringLiteral("A problem has occurred."));
}

bool saveModelTellingUser(const Workspace &workspace)
{
    const Status saved = ModelStore::saveModel(workspace);
    if (!saved)
        Ask::show(saved.error(), QStringLiteral("Error"));
    return saved.ok();
}
