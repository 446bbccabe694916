// The English module's templates, pictures and menus against the contract the windows rely on:
// every addressed control present, nothing overlapping at handheld sizes, four pictures for every
// picture button, and the menu placeholders where the windows look for them.
#include "testpaths.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSet>
#include <QSvgRenderer>
#include <QUiLoader>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

const QString kResources = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res");
constexpr int kMenuBarHeight = 48;
constexpr int kCategoryPlaceholder = 32816;

QList<int> range(int first, int last)
{
    QList<int> ids;
    for (int id = first; id <= last; ++id)
        ids.append(id);
    return ids;
}

std::unique_ptr<QWidget> loadTemplate(int number)
{
    QFile file(kResources + QStringLiteral("/dialogs/%1.ui").arg(number));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    // No designer plugins: they are not needed for plain widgets and cost memory.
    const QStringList paths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    QUiLoader loader;
    QCoreApplication::setLibraryPaths(paths);
    return std::unique_ptr<QWidget>(loader.load(&file));
}

QList<QWidget*> controls(QWidget* window)
{
    return window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

// Controls start on a 4-pixel grid: 44-pixel touch targets with 4 pixels between them.
constexpr int kGrid = 4;

struct TemplateCase
{
    int number;
    QSize design;
    QSize handheld;
    QList<int> ids;
};

QList<int> conversionIds()
{
    QList<int> ids = range(1010, 1025);
    ids << 1003 << 1026 << 1027 << 1031 << 1032 << 1033 << 1034 << 1054;
    // The chosen pair, the result's unit, the unit search and the recent pairs' button.
    ids << 1080 << 1081 << 1082 << 1083;
    return ids;
}

void PrintTo(const TemplateCase& c, std::ostream* os)
{
    *os << "template " << c.number;
}

class TemplateTest : public testing::TestWithParam<TemplateCase>
{
};

TEST_P(TemplateTest, HoldsEveryAddressedControlOnceAboveTheMenuBar)
{
    const TemplateCase& c = GetParam();
    auto window = loadTemplate(c.number);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->size(), c.design);
    QList<int> found;
    for (QWidget* control : controls(window.get())) {
        const QRect r = control->geometry();
        EXPECT_LE(r.bottom(), c.design.height() - kMenuBarHeight - 1) << control->objectName().toStdString();
        EXPECT_LE(r.right(), c.design.width() - 1) << control->objectName().toStdString();
        EXPECT_EQ(r.x() % kGrid, 0) << control->objectName().toStdString();
        EXPECT_EQ(r.y() % kGrid, 0) << control->objectName().toStdString();
        const QVariant id = control->property("controlId");
        if (id.isValid())
            found.append(id.toInt());
    }
    std::sort(found.begin(), found.end());
    QList<int> expected = c.ids;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

TEST_P(TemplateTest, NoControlsOverlapWhenShrunkToAHandheldScreen)
{
    const TemplateCase& c = GetParam();
    auto window = loadTemplate(c.number);
    ASSERT_TRUE(window);
    const double fx = double(c.handheld.width()) / c.design.width();
    const double fy = double(c.handheld.height()) / c.design.height();
    QList<QPair<QString, QRect>> scaled;
    for (QWidget* control : controls(window.get())) {
        const QRect r = control->geometry();
        const QRect s(QPoint(qRound(r.x() * fx), qRound(r.y() * fy)),
                      QPoint(qRound((r.x() + r.width()) * fx) - 1, qRound((r.y() + r.height()) * fy) - 1));
        for (const auto& [name, other] : scaled)
            EXPECT_FALSE(s.intersects(other)) << control->objectName().toStdString() << " / " << name.toStdString();
        scaled.append({control->objectName(), s});
    }
}

TEST_P(TemplateTest, EveryPictureButtonHasFourRenderablePictures)
{
    auto window = loadTemplate(GetParam().number);
    ASSERT_TRUE(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        const int id = button->property("controlId").toInt();
        const bool picture = (id >= 1400 && id <= 1419) || id == 1054;
        if (!picture)
            continue;
        for (const char* state : {"U", "D", "F", "X"}) {
            const QString path = kResources + "/bitmaps/" + button->text() + state + ".svg";
            QSvgRenderer renderer(path);
            EXPECT_TRUE(renderer.isValid()) << path.toStdString();
        }
    }
}

const QList<int> kHomeIds = range(1400, 1419);
const QList<int> kUpdateSettingsIds = range(1050, 1053) + QList<int>{1066};
const QList<int> kManualRatesIds = range(1055, 1061);
// With the line that says what a tick means.
const QList<int> kHiddenUnitsIds = range(1037, 1040) << 1072;

INSTANTIATE_TEST_SUITE_P(EnglishModule, TemplateTest,
                         testing::Values(TemplateCase{102, {360, 640}, {240, 320}, kHomeIds},
                                         TemplateCase{103, {640, 360}, {320, 240}, kHomeIds},
                                         TemplateCase{137, {480, 480}, {240, 240}, kHomeIds},
                                         TemplateCase{104, {360, 640}, {240, 320}, conversionIds()},
                                         TemplateCase{105, {640, 360}, {320, 240}, conversionIds()},
                                         TemplateCase{136, {480, 480}, {240, 240}, conversionIds()},
                                         TemplateCase{132, {360, 640}, {240, 320}, kUpdateSettingsIds},
                                         TemplateCase{133, {640, 360}, {320, 240}, kUpdateSettingsIds},
                                         TemplateCase{139, {480, 480}, {240, 240}, kUpdateSettingsIds},
                                         TemplateCase{3013, {480, 480}, {320, 240}, kManualRatesIds},
                                         TemplateCase{106, {360, 640}, {240, 320}, kHiddenUnitsIds},
                                         TemplateCase{107, {640, 360}, {320, 240}, kHiddenUnitsIds},
                                         TemplateCase{138, {480, 480}, {240, 240}, kHiddenUnitsIds}),
                         [](const testing::TestParamInfo<TemplateCase>& p) {
                             return "Template" + std::to_string(p.param.number);
                         });

TEST(EnglishTemplates, HomeButtonsAreInCategoryOrderAndNamedByCode)
{
    const QStringList codes = {"CNY", "LEN", "ARE", "VOL", "MAS", "SPD", "TMP", "PSN", "TME", "ANG",
                               "NRJ", "PWR", "RAD", "FCE", "RSD", "CPR", "VSY", "LUX", "MAG", "TQE"};
    for (int number : {102, 103, 137}) {
        auto window = loadTemplate(number);
        ASSERT_TRUE(window);
        QSize size;
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            const int index = button->property("controlId").toInt() - 1400;
            ASSERT_TRUE(index >= 0 && index < codes.size());
            EXPECT_EQ(button->text(), codes[index]) << number;
            if (size.isValid()) {
                EXPECT_EQ(button->size(), size) << number;
            }
            size = button->size();
        }
    }
}

QJsonObject loadMenu(int number)
{
    QFile file(kResources + QStringLiteral("/menus/%1.json").arg(number));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void collectIds(const QJsonArray& items, QList<int>& ids, QList<int>& firstIds)
{
    if (!items.isEmpty())
        firstIds.append(items.first().toObject().value("id").toInt(-1));
    for (const QJsonValue& value : items) {
        const QJsonObject item = value.toObject();
        if (item.contains("items"))
            collectIds(item.value("items").toArray(), ids, firstIds);
        else if (item.contains("id"))
            ids.append(item.value("id").toInt());
    }
}

struct MenuCase
{
    int number;
    QList<int> ids;
    bool placeholder;
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << "menu " << c.number;
}

class MenuTest : public testing::TestWithParam<MenuCase>
{
};

// The windows find the popup to fill by the id of its first item, so the placeholder must lead
// exactly one popup, and no other popup may start with the same id.
TEST_P(MenuTest, HoldsItsCommandsAndLeadsOnePopupWithThePlaceholder)
{
    const MenuCase& c = GetParam();
    const QJsonObject menu = loadMenu(c.number);
    const QJsonArray popups = menu.value("popups").toArray();
    ASSERT_FALSE(popups.isEmpty());
    QList<int> ids;
    QList<int> firstIds;
    for (const QJsonValue& popup : popups) {
        const QJsonObject entry = popup.toObject();
        EXPECT_FALSE(entry.value("text").toString().isEmpty());
        if (entry.contains("items"))
            collectIds(entry.value("items").toArray(), ids, firstIds);
        else
            ids.append(entry.value("id").toInt());
    }
    EXPECT_EQ(firstIds.count(kCategoryPlaceholder), c.placeholder ? 1 : 0);
    const QSet<int> present(ids.begin(), ids.end());
    for (int id : c.ids)
        EXPECT_TRUE(present.contains(id)) << id;
}

INSTANTIATE_TEST_SUITE_P(
    EnglishModule, MenuTest,
    testing::Values(MenuCase{128, {32772, 32773, 32776, 32787, 32820}, true},
                    MenuCase{3001, range(32800, 32802) + range(32810, 32820) + QList{32773, 32774}, false},
                    MenuCase{3004, range(32800, 32802) + range(32810, 32820) + QList{32773, 32774}, true},
                    MenuCase{3002, {1, 2}, false}),
    [](const testing::TestParamInfo<MenuCase>& p) { return "Menu" + std::to_string(p.param.number); });

} // namespace
