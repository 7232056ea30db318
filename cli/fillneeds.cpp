#include "cli/fillneeds.h"

#include "core/fill/engines.h"
#include "core/fill/officesession.h"
#include "core/fill/packagedfill.h"

#include <QFileInfo>

namespace FillNeeds {

Needs of(const FillPlan::Plan &plan)
{
    const FillArgs::Options &o = plan.options;
    Needs needs;
    for (int i = 0; i < plan.model.DocNames.size(); ++i) {
        if (!plan.documentChosen.value(i) || (!o.print && !o.save))
            continue;
        const QString file = Documents::FindDocumentFile(plan.folders.modelFolder, plan.model.DocNames[i]);
        if (file.isEmpty())
            continue; // passed over
        const bool package = PackagedFill::isPackage(Documents::extensionOf(file));
        if (o.print) {
            needs.drawing = true; // the default printer is asked for even when the office prints
            needs.office = needs.office || package
                || (o.method == Documents::PrintMethod::HigherQuality && OfficeSession::printsThroughOffice(file));
        }
        const bool ownCopy = QFileInfo(file).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
        if (o.save && o.pdf && !ownCopy) {
            needs.office = needs.office || package;
            needs.drawing = needs.drawing || !package;
        }
    }
    if (o.sheets)
        for (const QString &path : plan.model.SheetPaths)
            needs.office = needs.office || engineFor(path) == SheetEngine::Office;
    return needs;
}

} // namespace FillNeeds
