// The window's own form loader against Qt's: every template of every language module gives the
// same widgets with the same properties, so a window looks and behaves as it did under Qt's loader.
#include "testpaths.h"
#include "ui/dialogtemplate.h"
#include "ui/formloader.h"
#include "ui/uixmlreader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QUiLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <memory>

using namespace quantaro;

namespace {

std::unique_ptr<QWidget> loadWithQt(const QByteArray& bytes)
{
    const QStringList paths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    QUiLoader loader;
    QCoreApplication::setLibraryPaths(paths);
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return std::unique_ptr<QWidget>(loader.load(&buffer));
}

// Every property a template can set, standard and dynamic, read back from one widget.
QStringList describe(const QWidget& widget)
{
    QStringList lines;
    lines << QStringLiteral("class %1 name %2").arg(widget.metaObject()->className(), widget.objectName());
    const QRect g = widget.geometry();
    lines << QStringLiteral("geometry %1 %2 %3 %4 hidden %5")
                 .arg(g.x())
                 .arg(g.y())
                 .arg(g.width())
                 .arg(g.height())
                 .arg(widget.isHidden());
    lines << QStringLiteral("font %1 resolve %2").arg(widget.font().toString()).arg(widget.font().resolveMask());
    for (const char* name :
         {"text", "alignment", "wordWrap", "autoDefault", "placeholderText", "textInteractionFlags", "scaledContents",
          "clearButtonEnabled", "horizontalScrollBarPolicy", "orientation", "styleSheet", "windowTitle"}) {
        const QVariant value = widget.property(name);
        if (value.isValid()) {
            lines << QStringLiteral("%1 %2").arg(QLatin1String(name), value.toString());
        }
    }
    for (const QByteArray& name : widget.dynamicPropertyNames()) {
        lines << QStringLiteral("dynamic %1 %2").arg(QString::fromLatin1(name), widget.property(name).toString());
    }
    return lines;
}

QStringList describeForm(const QWidget& form)
{
    QStringList lines;
    lines << QStringLiteral("title %1 style %2 size %3x%4")
                 .arg(form.windowTitle(), form.styleSheet())
                 .arg(form.width())
                 .arg(form.height());
    for (const QWidget* child : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        lines << describe(*child);
    }
    return lines;
}

} // namespace

TEST(FormLoader, BuildsEveryTemplateOfEveryModuleAsQtsLoaderDoes)
{
    QStringList files;
    for (const char* language : {"en", "fr", "de"}) {
        const QDir folder(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/%1/res/dialogs").arg(QLatin1String(language)));
        for (const QString& name : folder.entryList({QStringLiteral("*.ui")}, QDir::Files)) {
            files << folder.filePath(name);
        }
    }
    const QDir own(QStringLiteral(QUANTARO_SOURCE_DIR "/tests/ui/uimodule/dialogs"));
    for (const QString& name : own.entryList({QStringLiteral("*.ui")}, QDir::Files)) {
        files << own.filePath(name);
    }
    files << QStringLiteral(QUANTARO_SOURCE_DIR "/app/resources/dialogs/90.ui");
    ASSERT_GT(files.size(), 60);
    for (const QString& path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        const std::unique_ptr<QWidget> expected = loadWithQt(bytes);
        DialogTemplate parsed;
        const std::unique_ptr<QWidget> built(loadForm(bytes, &parsed));
        // The test module holds broken templates on purpose: both loaders refuse them.
        ASSERT_EQ(expected != nullptr, built != nullptr) << path.toStdString();
        if (!expected) {
            continue;
        }
        EXPECT_EQ(describeForm(*built).join(u'\n').toStdString(), describeForm(*expected).join(u'\n').toStdString())
            << path.toStdString();
        // The same pass reads what the template reader reads, for the re-layouts.
        const auto read = DialogTemplate::parse(bytes);
        ASSERT_TRUE(read.has_value()) << path.toStdString();
        EXPECT_EQ(parsed.designSize, read->designSize);
        EXPECT_EQ(parsed.title, read->title);
        ASSERT_EQ(parsed.items.size(), read->items.size()) << path.toStdString();
        for (size_t i = 0; i < parsed.items.size(); ++i) {
            const TemplateItem& a = parsed.items[i];
            const TemplateItem& b = read->items[i];
            EXPECT_TRUE(a.id == b.id && a.className == b.className && a.geometry == b.geometry && a.text == b.text &&
                        a.bitmap == b.bitmap && a.icon == b.icon)
                << path.toStdString() << " item " << i;
        }
    }
}

TEST(FormLoader, RefusesWhatIsNoFormAndSkipsWhatItDoesNotKnow)
{
    EXPECT_EQ(loadForm(QByteArray()), nullptr);
    EXPECT_EQ(loadForm("<html/>"), nullptr);
    EXPECT_EQ(loadForm("<ui><widget class=\"QDialog\"/></ui>"), nullptr) << "a form without a size";
    EXPECT_EQ(loadForm("<ui><widget class=\"QDialog\"><property name=\"geometry\"><rect><x>0"), nullptr)
        << "a file cut short";
    const std::unique_ptr<QWidget> form(loadForm(
        "<ui><widget class=\"QDialog\"><property name=\"geometry\"><rect><width>360</width><height>640</height>"
        "</rect></property><widget class=\"QCalendarWidget\" name=\"a\"/>"
        "<widget class=\"QLabel\" name=\"b\"><property name=\"alignment\"><set>Nonsense|Qt::AlignTop</set>"
        "</property><property name=\"geometry\"><rect><x>-999999999</x><width>5</width></rect></property>"
        "</widget></widget></ui>"));
    ASSERT_NE(form, nullptr);
    const auto children = form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), 1) << "an unknown class is left out";
    EXPECT_EQ(children[0]->geometry(), QRect(-100000, 0, 5, 0));
}

// Both readers work from one reading of the file, yet each refuses exactly what it uses and finds
// damaged: the form loader what sets a control, the template reader what a re-layout needs.
TEST(FormLoader, EachReaderRefusesTheDamageItReadsAndNoOther)
{
    const QByteArray size =
        "<property name=\"geometry\"><rect><width>360</width><height>640</height></rect></property>";
    const auto form = [&size](const QByteArray& inside, const QByteArray& after = {}) {
        return "<ui><widget class=\"QDialog\">" + size + inside + "</widget>" + after + "</ui>";
    };
    const QByteArray label = "<widget class=\"QLabel\" name=\"a\"><property name=\"controlId\"><number>7</number>"
                             "</property>";
    QByteArray nested = "<property name=\"controlId\"><number>1<b/></number></property>";
    for (int i = 0; i < 9; ++i) {
        nested = "<widget class=\"QWidget\">" + nested + "</widget>";
    }
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool templateRead;
        bool formBuilt;
    };
    const Case cases[] = {
        {"a sound form", form(label + "</widget>"), true, true},
        {"a bool holding an element", form(label + "<property name=\"x\"><bool>t<b/></bool></property></widget>"), true,
         false},
        {"a set holding an element", form(label + "<property name=\"alignment\"><set><b/></set></property></widget>"),
         true, false},
        {"a font field holding an element",
         form(label + "<property name=\"font\"><font><bold>true<b/></bold></font></property></widget>"), true, false},
        {"a tab stop holding an element", form(label + "</widget>", "<tabstops><tabstop>a<b/></tabstop></tabstops>"),
         true, false},
        {"a tab list before the form is not read",
         "<ui><tabstops><tabstop>a<b/></tabstop></tabstops>" + form(label + "</widget>").mid(4), true, true},
        {"a number holding an element",
         form(label + "<property name=\"icon\"><number>1<b/></number></property></widget>"), false, false},
        {"a rect field holding an element",
         form(label + "<property name=\"geometry\"><rect><x>1<b/></x></rect></property></widget>"), false, false},
        {"a number holding an element deeper than controls are built", form(nested), false, true},
        {"an unknown value kind holding anything",
         form(label + "<property name=\"x\"><color><b>1<c/></b></color></property></widget>"), true, true},
        {"a second top-level widget is not read",
         form(label + "</widget>", "<widget><property name=\"x\"><bool><b/></bool></property></widget>"), true, true},
        {"text after the root is not read", form(label + "</widget>") + "<<", true, true},
        {"an unclosed element in a layout", form("<layout><item></layout>"), false, false},
        {"an undefined entity in a string",
         form(label + "<property name=\"text\"><string>&nope;</string></property>"
                      "</widget>"),
         false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogTemplate::parse(c.bytes).has_value(), c.templateRead) << c.what;
        const std::unique_ptr<QWidget> built(loadForm(c.bytes));
        EXPECT_EQ(built != nullptr, c.formBuilt) << c.what;
    }
}

namespace {

QString attributeOf(QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}
QString attributeOf(UiXmlReader& xml, const char* name)
{
    return xml.attribute(QLatin1StringView(name));
}
QString textOf(QXmlStreamReader& xml)
{
    return xml.readElementText();
}
QString textOf(UiXmlReader& xml)
{
    return xml.readElementText();
}

// The elements of a template in reading order, with their attributes and the text of the elements
// that hold values, read by any reader with the stream reader's calls.
template <class Reader> void dumpElements(Reader& xml, QStringList& out, int depth)
{
    static const QStringList kValues = {
        QStringLiteral("string"), QStringLiteral("number"),    QStringLiteral("bool"),    QStringLiteral("enum"),
        QStringLiteral("set"),    QStringLiteral("x"),         QStringLiteral("y"),       QStringLiteral("width"),
        QStringLiteral("height"), QStringLiteral("pointsize"), QStringLiteral("tabstop"), QStringLiteral("bold")};
    while (xml.readNextStartElement()) {
        QString line = QString(depth, u' ') + xml.name().toString();
        for (const char* attribute : {"class", "name", "stdset", "version"}) {
            line += u' ' + attributeOf(xml, attribute);
        }
        if (kValues.contains(xml.name().toString())) {
            line += QStringLiteral(" = ") + textOf(xml);
            out << line;
            continue;
        }
        out << line;
        dumpElements(xml, out, depth + 1);
    }
}

template <class Reader> std::pair<bool, QStringList> readAll(const QByteArray& bytes)
{
    // As the template readers read: the root, and what it holds up to its end.
    Reader xml(bytes);
    QStringList out;
    if (xml.readNextStartElement()) {
        out << xml.name().toString();
        dumpElements(xml, out, 1);
    }
    return {!xml.hasError() && !out.isEmpty(), out};
}

} // namespace

TEST(UiXmlReader, ReadsEveryTemplateAndEveryDamagedCopyAsQtsStreamReaderDoes)
{
    const QDir folder(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/fr/res/dialogs"));
    int compared = 0;
    for (const QString& name : folder.entryList({QStringLiteral("*.ui")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        std::vector<std::pair<std::string, QByteArray>> copies = {{"whole", whole}};
        // Cut short, one byte gone, and a byte that means something in XML put in, all over the file.
        const qsizetype start = whole.indexOf("?>") + 2;
        constexpr int kPlaces = 24;
        for (int i = 0; i < kPlaces; ++i) {
            const qsizetype at = start + (whole.size() - start) * i / kPlaces;
            copies.push_back({"cut at " + std::to_string(at), whole.left(at)});
            copies.push_back({"byte gone at " + std::to_string(at), QByteArray(whole).remove(at, 1)});
            for (const char* inserted :
                 {"<", "&", "\"", ">", "&amp;", "&#233;", "<!-- c -->", "<![CDATA[<]]>", "\r\n"}) {
                copies.push_back({std::string("'") + inserted + "' at " + std::to_string(at),
                                  QByteArray(whole).insert(at, inserted)});
            }
        }
        for (const auto& [what, bytes] : copies) {
            const auto expected = readAll<QXmlStreamReader>(bytes);
            const auto read = readAll<UiXmlReader>(bytes);
            ASSERT_EQ(read.first, expected.first) << name.toStdString() << ", " << what;
            if (expected.first) {
                ASSERT_EQ(read.second, expected.second) << name.toStdString() << ", " << what;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}
