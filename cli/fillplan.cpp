#include "cli/fillplan.h"

#include "core/fill/batchrows.h"
#include "core/fill/rowlist.h"
#include "core/model/datasets.h"
#include "core/model/modelpath.h"
#include "core/model/names.h"
#include "core/model/settingsfile.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

namespace FillPlan {

namespace {

QString quoted(const QString &s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

QString listed(const QStringList &names)
{
    QStringList q;
    for (const QString &n : names)
        q << quoted(n);
    return q.isEmpty() ? QStringLiteral("none") : q.join(QStringLiteral(", "));
}

// The model's folder as the window finds it: the settings file's second
// line, taken from the home folder when relative.
QString modelFolder(const QString &appFolder)
{
    QString folder = ModelPath::absoluteFolder(SettingsFile::read(appFolder).modelFolder, Platform::homeDrive());
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    return folder;
}

Status loadModel(const QString &name, Plan &plan)
{
    if (const Names::Problem problem = Names::fileNameProblem(name); problem != Names::Problem::None)
        return Failure{QStringLiteral("the model name ") + quoted(name) + QStringLiteral(" cannot be used. ")
               + Names::refusal(problem)};
    const QString folder = plan.folders.modelFolder;
    const QString path = ModelFile::modelPath(folder, name);
    if (!QFileInfo(path).isFile())
        return Failure{QStringLiteral("unknown model ") + quoted(name) + QStringLiteral(" in ") + folder
               + QStringLiteral("; the models there: ") + listed(ModelFile::listModels(folder))};
    Result<ModelLists> model = ModelFile::read(path);
    if (!model)
        return Failure{model.error() + QStringLiteral(" while loading model.\nUnable to load complete model.")};
    plan.model = std::move(model).value();
    // As the window does: a relative spreadsheet path is taken from the
    // model folder, never from the current folder.
    for (QString &sheet : plan.model.SheetPaths)
        if (!sheet.isEmpty() && QDir::isRelativePath(sheet))
            sheet = QDir::cleanPath(QDir(folder).absoluteFilePath(sheet));
    return {};
}

QString fieldError(const Plan &plan, const QString &field, const QString &where)
{
    return where + QStringLiteral(" names no field of the model ") + quoted(plan.options.model)
           + QStringLiteral(": ") + quoted(field) + QStringLiteral("; its fields: ") + listed(plan.model.FieldNames);
}

Status loadValues(Plan &plan)
{
    const FillArgs::Options &o = plan.options;
    plan.baseValues = QStringList(QList<QString>(plan.model.FieldNames.size()));
    if (!o.valuesTag.isEmpty()) {
        const QString path = DataSets::dataFolder(plan.folders.modelFolder, o.model) + o.valuesTag;
        if (!Names::isSafeName(o.valuesTag) || !QFileInfo(path).isFile())
            return Failure{QStringLiteral("No data exists with that identifier: ") + quoted(o.valuesTag)};
        const Result<QStringList> lines = DataSets::read(path);
        if (!lines)
            return Failure{lines.error() + QStringLiteral(" while loading ") + path};
        for (int j = 0; j < plan.baseValues.size() && j < lines->size(); ++j)
            plan.baseValues[j] = lines->at(j);
    }
    for (const auto &[field, value] : o.sets) {
        const qsizetype j = plan.model.FieldNames.indexOf(field);
        if (j < 0)
            return Failure{fieldError(plan, field, QStringLiteral("--set"))};
        plan.baseValues[j] = value;
    }
    if (o.rowsFile.isEmpty())
        return o.valuesTag.isEmpty() && o.sets.isEmpty()
                   ? Status(Failure{QStringLiteral("no values: give --set \"FIELD=VALUE\", --values TAG or --rows FILE")})
                   : Status();
    const RowList::List rows = RowList::read(o.rowsFile);
    if (rows.error)
        return Failure{QStringLiteral("cannot read ") + o.rowsFile + QStringLiteral(": ") + rows.error->text()};
    if (!rows.ragged.isEmpty() && !o.ragged) {
        constexpr int kShown = 10; // enough to find the pattern; the count says the rest
        QStringList lines;
        for (const RowList::Problem &row : rows.ragged.mid(0, kShown))
            lines << row.text();
        if (rows.ragged.size() > kShown)
            lines << QStringLiteral("and %1 more").arg(rows.ragged.size() - kShown);
        return Failure{o.rowsFile + QStringLiteral(" has rows that do not match its header (give --ragged to take them):\n  ")
               + lines.join(QStringLiteral("\n  "))};
    }
    for (const QString &column : rows.header) {
        const qsizetype j = plan.model.FieldNames.indexOf(column);
        if (j < 0)
            return Failure{fieldError(plan, column, QStringLiteral("the header of ") + o.rowsFile)};
        plan.columnField << int(j);
    }
    if (rows.records.isEmpty())
        return Failure{QStringLiteral("no values: ") + o.rowsFile + QStringLiteral(" has no data rows under its header")};
    plan.rows = rows.records;
    plan.rowLines = rows.lines;
    plan.batch = true;
    return {};
}

Status checkChoices(Plan &plan)
{
    const FillArgs::Options &o = plan.options;
    for (const QString &doc : o.documents)
        if (!plan.model.DocNames.contains(doc))
            return Failure{QStringLiteral("the model ") + quoted(o.model) + QStringLiteral(" has no document ") + quoted(doc)
                   + QStringLiteral("; its documents: ") + listed(plan.model.DocNames)};
    for (const QString &doc : std::as_const(plan.model.DocNames))
        plan.documentChosen << (o.documents.isEmpty() || o.documents.contains(doc));
    if (!o.outFolder.isEmpty()) {
        const QFileInfo out(QDir::current().absoluteFilePath(o.outFolder));
        if (!out.isDir())
            return Failure{QStringLiteral("--out: no such folder: ") + o.outFolder};
        plan.folders.saveFolder = Platform::withTrailingSeparator(QDir::cleanPath(out.absoluteFilePath()));
    }
    if (!o.save)
        return {};
    const QStringList names = BatchRows::placeholders(o.saveName);
    for (const QString &name : names)
        if (!plan.model.FieldNames.contains(name))
            return Failure{fieldError(plan, name, QStringLiteral("--save"))};
    if (const Names::Problem problem = Names::fileNameProblem(o.saveName);
        names.isEmpty() && problem != Names::Problem::None)
        return Failure{QStringLiteral("the save name ") + quoted(o.saveName) + QStringLiteral(" cannot be used. ")
               + Names::refusal(problem)};
    return {};
}

} // namespace

Result<Plan> prepare(const FillArgs::Options &options)
{
    Plan plan;
    plan.options = options;
    const QString app = Platform::appFolder();
    plan.folders = {modelFolder(app), app, Platform::documentsFolder()};
    if (Status loaded = loadModel(options.model, plan); !loaded)
        return loaded.failure();
    if (Status valued = loadValues(plan); !valued)
        return valued.failure();
    if (Status checked = checkChoices(plan); !checked)
        return checked.failure();
    return plan;
}

} // namespace FillPlan
