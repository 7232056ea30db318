#include "core/fill/documents.h"
#include "core/fill/packagedfill.h"
#include "core/fill/xmlmarkers.h"
#include "tests/core/fill/packagetools.h"
#include "tests/support/testhome.h"
#include "tests/support/zipbomb.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace PackageTools;

namespace {
const QStringList kFields{QStringLiteral("First Name"), QStringLiteral("City")};
const QString kAwkward = QStringLiteral("A&B <c> \"d\" 'e' Café");
const QStringList kValues{QStringLiteral("Zoë"), kAwkward};

// Rich text with markers split by formatting, for the office to turn into
// its own .docx and .odt.
const QByteArray kSourceRtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\n"
                              "{\\header\\pard Head &City&\\par}\n"
                              "\\pard Dear {\\b &First} {\\i Name&}, from &City&.\\par\n"
                              "\\pard {\\b &Ci}{\\i ty&} again\\par}\n";

const QByteArray kWordNs = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// The cases Word writes and LibreOffice never does.
Entries handWrittenWord()
{
    const QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
                            "openxmlformats.org/package/2006/relationships\">";
    return {
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
         "content-types\"><Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
         "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName="
         "\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
         "document.main+xml\"/><Override PartName=\"/word/header1.xml\" ContentType=\"application/vnd."
         "openxmlformats-officedocument.wordprocessingml.header+xml\"/></Types>"},
        {QStringLiteral("_rels/.rels"),
         rels + "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {QStringLiteral("word/_rels/document.xml.rels"),
         rels + "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/header\" Target=\"header1.xml\"/></Relationships>"},
        {QStringLiteral("word/document.xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document " + kWordNs + "><w:body>"
         "<w:p><w:r><w:t xml:space=\"preserve\">Dear </w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>&amp;Fi</w:t></w:r>"
         "<w:bookmarkStart w:id=\"0\" w:name=\"_GoBack\"/><w:bookmarkEnd w:id=\"0\"/>"
         "<w:proofErr w:type=\"spellStart\"/><w:r><w:rPr><w:i/></w:rPr><w:t>rst Na</w:t></w:r>"
         "<w:proofErr w:type=\"spellEnd\"/><w:r><w:t>me&amp;,</w:t></w:r></w:p>"
         "<w:p><w:ins w:id=\"1\" w:author=\"Ann\" w:date=\"2024-01-01T00:00:00Z\"><w:r><w:t>&amp;City</w:t></w:r>"
         "</w:ins><w:r><w:t>&amp; it is.</w:t></w:r></w:p>"
         "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId1\"/></w:sectPr></w:body></w:document>"},
        {QStringLiteral("word/header1.xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:hdr " + kWordNs + "><w:p><w:r><w:t>Head &amp;First </w:t>"
         "</w:r><w:r><w:rPr><w:u w:val=\"single\"/></w:rPr><w:t>Name&amp;</w:t></w:r></w:p></w:hdr>"},
    };
}

class FakeRun : public RunContext {
public:
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override { return kValues.value(j - 1); }
};

class FakePrinting : public Documents::Printing {
public:
    QList<QByteArray> files;
    Status printText(const QByteArray &, const QString &) override
    {
        QTest::qFail("a package is never printed as text", __FILE__, __LINE__);
        return {};
    }
    Status printFile(const QString &path) override
    {
        files << readFile(path);
        return {};
    }
};

} // namespace

class TestPackagedFill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void fillsPackages_data();
    void fillsPackages();
    void processPrintsAndSavesTheFilledPackage();
    void missingSaveFolderIsAProblemAtSaving();
    void shippedSamplesHoldSplitMarkers_data();
    void shippedSamplesHoldSplitMarkers();
    void badPackagesAreProblems_data();
    void badPackagesAreProblems();

private:
    TestHome m_home;
    QString m_work;
};

void TestPackagedFill::initTestCase()
{
    if (!haveOffice())
        QSKIP("LibreOffice is not installed");
    m_work = m_home.path() + QStringLiteral("work/");
    QVERIFY(writeFile(m_work + QStringLiteral("Letter.rtf"), kSourceRtf));
    QVERIFY(officeConvert({m_work + QStringLiteral("Letter.rtf")}, QStringLiteral("docx"), m_work));
    QVERIFY(officeConvert({m_work + QStringLiteral("Letter.rtf")}, QStringLiteral("odt"), m_work));
    QVERIFY(writeZip(m_work + QStringLiteral("Word.docx"), handWrittenWord()));
}

void TestPackagedFill::fillsPackages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("textParts");
    QTest::newRow("LibreOffice .docx") << QStringLiteral("Letter.docx")
                                       << QStringList{QStringLiteral("word/document.xml"), QStringLiteral("word/header1.xml")};
    QTest::newRow("LibreOffice .odt") << QStringLiteral("Letter.odt")
                                      << QStringList{QStringLiteral("content.xml"), QStringLiteral("styles.xml")};
    QTest::newRow("Word markup") << QStringLiteral("Word.docx")
                                 << QStringList{QStringLiteral("word/document.xml"), QStringLiteral("word/header1.xml")};
}

void TestPackagedFill::fillsPackages()
{
    QFETCH(QString, file);
    QFETCH(QStringList, textParts);
    const QString source = m_work + file;
    const QString extension = Documents::extensionOf(file);
    const QString target = m_work + QStringLiteral("Filled-") + file;
    QVERIFY(PackagedFill::fillPackage(source, target, extension, kFields, kValues).ok());

    const QList<RawEntry> before = rawEntries(source);
    const QList<RawEntry> after = rawEntries(target);
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].name, before[i].name);
        if (textParts.contains(before[i].name))
            continue;
        // Everything that holds no text is copied untouched, byte for byte.
        QCOMPARE(after[i].method, before[i].method);
        QCOMPARE(after[i].crc, before[i].crc);
        QVERIFY2(after[i].raw == before[i].raw, qPrintable(before[i].name));
    }
    if (extension == QStringLiteral(".odt")) {
        QCOMPARE(after.first().name, QStringLiteral("mimetype"));
        QCOMPARE(after.first().method, 0);
    }

    const auto dialect = extension == QStringLiteral(".odt") ? XmlMarkers::Dialect::OpenDocument : XmlMarkers::Dialect::Word;
    QString allText;
    for (const QString &part : textParts)
        allText += XmlMarkers::paragraphs(entry(target, part), dialect).value().join(QLatin1Char('\n'));
    QVERIFY2(allText.contains(QStringLiteral("Head ")), qPrintable(allText));
    QVERIFY2(allText.contains(QStringLiteral("Dear Zoë,")), qPrintable(allText));
    QVERIFY2(allText.contains(kAwkward), qPrintable(allText));
    QVERIFY2(!allText.contains(QStringLiteral("&City&")) && !allText.contains(QStringLiteral("Name&")), qPrintable(allText));

    // The office opens the result and reads the values.
    const QString text = officeText(target, m_work + QStringLiteral("text"));
    QVERIFY2(text.contains(QStringLiteral("Dear Zoë,")), qPrintable(text));
    QVERIFY2(text.contains(kAwkward), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("&First")) && !text.contains(QStringLiteral("&City")), qPrintable(text));
}

void TestPackagedFill::processPrintsAndSavesTheFilledPackage()
{
    const Documents::Folders folders{m_work, m_home.appFolder(), m_home.documents()};
    const Documents::Request request{QStringLiteral("Letter"), true, true, Documents::PrintMethod::Faster,
                                     QStringLiteral("Smith")};
    // Letter.docx is listed before Letter.odt and Letter.rtf.
    QCOMPARE(Documents::FindDocumentFile(m_work, QStringLiteral("Letter")), QStringLiteral("Letter.docx"));
    FakeRun run;
    FakePrinting printing;
    QVERIFY(Documents::ProcessDocument(request, folders, kFields, run, printing).ok());
    QCOMPARE(printing.files.size(), 1);
    const QString saved = m_home.documents() + QStringLiteral("Smith-Letter.docx");
    QCOMPARE(readFile(saved), printing.files.first());
    QVERIFY(XmlMarkers::paragraphs(entry(saved, QStringLiteral("word/document.xml")), XmlMarkers::Dialect::Word).value()
                .join(QString())
                .contains(QStringLiteral("Dear Zoë,")));
    QVERIFY(QDir(m_home.appFolder()).entryList({QStringLiteral("temprtf*")}, QDir::Files).isEmpty());
}

void TestPackagedFill::missingSaveFolderIsAProblemAtSaving()
{
    const Documents::Folders folders{m_work, m_home.appFolder(), m_home.path() + QStringLiteral("no such folder/")};
    FakeRun run;
    FakePrinting printing;
    const Status saved = Documents::ProcessDocument(
        {QStringLiteral("Word"), true, true, Documents::PrintMethod::Faster, QStringLiteral("S")}, folders, kFields, run,
        printing);
    QVERIFY2(!saved.ok(), "saved into a folder that does not exist");
    QCOMPARE(saved.error(), QStringLiteral("Path not found"));
    QCOMPARE(run.stepText, QStringLiteral("saving Word"));
    QCOMPARE(printing.files.size(), 1); // the print went out first
    QVERIFY(!QFileInfo::exists(folders.saveFolder));
    QVERIFY(QDir(m_home.appFolder()).entryList({QStringLiteral("temprtf*")}, QDir::Files).isEmpty());
}

void TestPackagedFill::shippedSamplesHoldSplitMarkers_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("part");
    QTest::newRow(".docx") << QStringLiteral("Sample Doc.docx") << QStringLiteral("word/document.xml");
    QTest::newRow(".odt") << QStringLiteral("Sample Doc.odt") << QStringLiteral("content.xml");
}

void TestPackagedFill::shippedSamplesHoldSplitMarkers()
{
    QFETCH(QString, file);
    QFETCH(QString, part);
    const QString sample = TestHome::dataPath(file);
    const auto dialect = file.endsWith(QStringLiteral(".odt")) ? XmlMarkers::Dialect::OpenDocument
                                                               : XmlMarkers::Dialect::Word;
    const QByteArray xml = entry(sample, part);
    // Visible as one marker, but not written as one.
    QVERIFY(XmlMarkers::paragraphs(xml, dialect).value().contains(QStringLiteral("Dear &First Name&,")));
    QVERIFY(!xml.contains("Dear &amp;First Name&amp;"));
    const QString target = m_work + QStringLiteral("Filled ") + file;
    QVERIFY(PackagedFill::fillPackage(sample, target, Documents::extensionOf(file), kFields, kValues).ok());
    QVERIFY(XmlMarkers::paragraphs(entry(target, part), dialect).value().contains(QStringLiteral("Dear Zoë,")));
}

void TestPackagedFill::badPackagesAreProblems_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // a part of the problem's text
    const QString unreadable = QStringLiteral("is not a readable zip package");
    QTest::newRow("corrupt") << QStringLiteral("Bad.docx") << QStringLiteral("corrupt") << unreadable;
    QTest::newRow("truncated .docx") << QStringLiteral("Bad.docx") << QStringLiteral("truncated") << unreadable;
    QTest::newRow("truncated .odt") << QStringLiteral("Bad.odt") << QStringLiteral("truncated") << unreadable;
    QTest::newRow("encrypted by Word") << QStringLiteral("Bad.docx") << QStringLiteral("ole")
                                       << QStringLiteral("The document is encrypted or in an older format");
    QTest::newRow("encrypted .odt") << QStringLiteral("Bad.odt") << QStringLiteral("encrypted")
                                    << QStringLiteral("The document is encrypted");
    QTest::newRow("zip bomb") << QStringLiteral("Bad.docx") << QStringLiteral("bomb") << QStringLiteral("inflates past");
    QTest::newRow("damaged markup") << QStringLiteral("Bad.docx") << QStringLiteral("markup")
                                    << QStringLiteral("The document's markup is damaged");
}

void TestPackagedFill::badPackagesAreProblems()
{
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString model = m_home.path() + QStringLiteral("bad-") + QString::fromLatin1(QTest::currentDataTag()) + QLatin1Char('/');
    QDir().mkpath(model);
    const QString path = model + file;
    const QString real = m_work + QStringLiteral("Letter") + Documents::extensionOf(file);
    if (kind == QStringLiteral("corrupt")) {
        QVERIFY(writeFile(path, QByteArray("PK\x03\x04 this is no zip at all").repeated(40)));
    } else if (kind == QStringLiteral("truncated")) {
        const QByteArray bytes = readFile(real);
        QVERIFY(writeFile(path, bytes.left(bytes.size() / 2)));
    } else if (kind == QStringLiteral("ole")) {
        QVERIFY(writeFile(path, QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(4000, '\0')));
    } else if (kind == QStringLiteral("encrypted")) {
        Entries entries;
        for (const RawEntry &e : rawEntries(real))
            entries.append({e.name, entry(real, e.name)});
        for (auto &[name, bytes] : entries)
            if (name == QStringLiteral("META-INF/manifest.xml"))
                bytes.replace("<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>",
                              "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\">"
                              "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\"/></manifest:file-entry>");
        QVERIFY(writeZip(path, entries, true));
        QVERIFY(entry(path, QStringLiteral("META-INF/manifest.xml")).contains("encryption-data"));
    } else if (kind == QStringLiteral("bomb")) {
        QVERIFY(ZipBomb::write(path, QStringLiteral("word/document.xml"), 257));
        QVERIFY(QFileInfo(path).size() < 2 * 1024 * 1024);
    } else {
        Entries entries = handWrittenWord();
        entries[3].second.chop(30);
        QVERIFY(writeZip(path, entries));
    }
    QVERIFY(QFile::copy(m_work + QStringLiteral("Word.docx"), model + QStringLiteral("Good.docx")));

    const QString saveFolder = model + QStringLiteral("saved/");
    QDir().mkpath(saveFolder);
    const Documents::Folders folders{model, m_home.appFolder(), saveFolder};
    FakeRun run;
    FakePrinting printing;
    const QString name = QFileInfo(file).completeBaseName();
    const Status filled = Documents::ProcessDocument(
        {name, true, true, Documents::PrintMethod::HigherQuality, QStringLiteral("S")}, folders, kFields, run, printing);
    QVERIFY2(!filled.ok(), "a bad package was filled");
    QVERIFY2(filled.error().contains(message), qPrintable(filled.error()));
    QCOMPARE(run.runStage, RunStage::Document);
    QVERIFY(printing.files.isEmpty());
    QVERIFY(QDir(saveFolder).isEmpty());
    QVERIFY(QDir(m_home.appFolder()).entryList({QStringLiteral("temprtf*")}, QDir::Files).isEmpty());
    // The run goes on with the next document.
    QVERIFY(Documents::ProcessDocument({QStringLiteral("Good"), false, true, Documents::PrintMethod::Faster, QStringLiteral("S")},
                               folders, kFields, run, printing).ok());
    QVERIFY(QFileInfo::exists(saveFolder + QStringLiteral("S-Good.docx")));
}

QTEST_GUILESS_MAIN(TestPackagedFill)
#include "tst_packagedfill.moc"
