#include "cli/fillargs.h"

namespace FillArgs {

namespace {
// Options that need a value; the value is the next argument or follows "=".
const QStringList kWithValue{QStringLiteral("--set"), QStringLiteral("--values"), QStringLiteral("--rows"),
                             QStringLiteral("--save"), QStringLiteral("--out"), QStringLiteral("--documents"),
                             QStringLiteral("--wait")};

QStringList documentNames(const QString &list)
{
    QStringList names;
    for (const QString &name : list.split(QLatin1Char(',')))
        if (!name.trimmed().isEmpty())
            names << name.trimmed();
    return names;
}
} // namespace

QString usage()
{
    return QStringLiteral(
        "Usage: QLT fill MODEL [--set \"FIELD=VALUE\"]... [--values TAG] [--rows FILE [--ragged]]\n"
        "                      [--save NAME] [--out DIR] [--pdf] [--print [faster|quality]]\n"
        "                      [--documents \"NAME,NAME\"] [--sheets [--wait SECONDS]]\n\n"
        "Fills the model's documents and spreadsheets without a window.\n"
        "  --set \"FIELD=VALUE\"   the value of one field (repeatable)\n"
        "  --values TAG          the values saved under this identifier tag\n"
        "  --rows FILE           one run per data row of a .csv file or of the first sheet\n"
        "                        of an .xlsx or .ods workbook; the first row names the fields\n"
        "  --ragged              take rows with more or fewer cells than the header (extra\n"
        "                        cells are dropped, missing ones empty); else they are refused\n"
        "  --save NAME           save filled copies as NAME-Document.ext; {Field} in NAME\n"
        "                        takes that field's value of the run\n"
        "  --out DIR             save into DIR instead of the documents folder\n"
        "  --pdf                 a PDF copy beside every saved copy\n"
        "  --print [faster|quality]  print the documents (default faster)\n"
        "  --documents \"A,B\"     only these documents (default all)\n"
        "  --sheets              add one record to each spreadsheet per run\n"
        "  --wait SECONDS        how long to wait for a workbook another fill is adding to\n"
        "                        (default 60); then that workbook is a problem\n"
        "Exit status: 0 all done, 1 some item had a problem, 2 usage error.\n");
}

Parsed parse(const QStringList &arguments)
{
    Parsed result;
    Options &o = result.options;
    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        QString value;
        bool hasValue = false;
        if (arg.startsWith(QStringLiteral("--")) && arg.contains(QLatin1Char('='))) {
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasValue = true;
        }
        if (kWithValue.contains(arg) && !hasValue) {
            if (i + 1 >= arguments.size()) {
                result.error = arg + QStringLiteral(" needs a value");
                return result;
            }
            value = arguments[++i];
        } else if (hasValue && !kWithValue.contains(arg)) {
            result.error = QStringLiteral("unknown option: ") + arguments[i];
            return result;
        }
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            o.help = true;
        } else if (arg == QStringLiteral("--set")) {
            const qsizetype eq = value.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                result.error = QStringLiteral("--set needs \"FIELD=VALUE\", not \"") + value + QLatin1Char('"');
                return result;
            }
            o.sets.append({value.left(eq), value.mid(eq + 1)});
        } else if (arg == QStringLiteral("--values")) {
            o.valuesTag = value;
        } else if (arg == QStringLiteral("--rows")) {
            o.rowsFile = value;
        } else if (arg == QStringLiteral("--save")) {
            o.save = true;
            o.saveName = value;
        } else if (arg == QStringLiteral("--out")) {
            o.outFolder = value;
        } else if (arg == QStringLiteral("--wait")) {
            bool number = false;
            const double seconds = value.toDouble(&number);
            // A day is more than any fill is worth waiting for.
            if (!number || seconds < 0 || seconds > 86400) {
                result.error = QStringLiteral("--wait needs a number of seconds, not \"") + value + QLatin1Char('"');
                return result;
            }
            o.lockWaitMs = int(seconds * 1000);
        } else if (arg == QStringLiteral("--documents")) {
            o.documents = documentNames(value);
        } else if (arg == QStringLiteral("--pdf")) {
            o.pdf = true;
        } else if (arg == QStringLiteral("--ragged")) {
            o.ragged = true;
        } else if (arg == QStringLiteral("--sheets")) {
            o.sheets = true;
        } else if (arg == QStringLiteral("--print")) {
            o.print = true;
            const QString next = arguments.value(i + 1);
            if (next == QStringLiteral("faster") || next == QStringLiteral("quality")) {
                o.method = next == QStringLiteral("quality") ? Documents::PrintMethod::HigherQuality
                                                             : Documents::PrintMethod::Faster;
                ++i;
            }
        } else if (arg.startsWith(QLatin1Char('-'))) {
            result.error = QStringLiteral("unknown option: ") + arg;
            return result;
        } else if (o.model.isEmpty()) {
            o.model = arg;
        } else {
            result.error = QStringLiteral("unexpected argument: ") + arg;
            return result;
        }
    }
    if (o.help)
        return result;
    if (o.model.isEmpty())
        result.error = QStringLiteral("no model named");
    else if (o.pdf && !o.save)
        result.error = QStringLiteral("--pdf makes copies beside the saved ones: give --save NAME too");
    else if (o.save && o.saveName.isEmpty())
        result.error = QStringLiteral("--save needs a name");
    else if (!o.save && !o.print && !o.sheets)
        result.error = QStringLiteral("nothing to do: give --save, --print or --sheets");
    return result;
}

} // namespace FillArgs
