#include "ui/dialogs/modelmessages.h"

#include "core/modelstore.h"
#include "platform/gui/messagebox.h"

bool loadModelTellingUser(Workspace &workspace, const QString &name)
{
    const Status loaded = ModelStore::loadModel(workspace, name);
    if (!loaded)
        Ask::show(loaded.error(), QStringLiteral("A problem has occurred."));
    return loaded.ok();
}

bool saveModelTellingUser(const Workspace &workspace)
{
    const Status saved = ModelStore::saveModel(workspace);
    if (!saved)
        Ask::show(saved.error(), QStringLiteral("Error"));
    return saved.ok();
}
