#include "app/cconverterapp.h"
#include "app/firstruncleanup.h"
#include "app/languagechoice.h"
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

QString testModule(const QString& name)
{
    return QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + name;
}

void touch(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

/** A program folder in a temporary directory, with copies of test modules. */
class ProgramFolder
{
public:
    void addModule(const QString& builtName, const QString& asName)
    {
        ASSERT_TRUE(QFile::copy(testModule(builtName), path(asName)));
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    QStringList files() const
    {
        QStringList names = QDir(m_dir.path()).entryList(QDir::Files, QDir::Name);
        names.removeAll(QStringLiteral("q.ini"));
        return names;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(LanguageModuleTest, OnlyTheExactIdentityWithEveryExportIsValid)
{
    struct Case
    {
        const char* file;
        bool valid;
    };
    const Case cases[] = {
        {"alpha.so", true},      {"beta.so", true},   {"older.so", false},
        {"lowercase.so", false}, {"nokey.so", false}, {"nolanguage.so", false},
    };
    for (const Case& c : cases) {
        auto module = LanguageModule::load(testModule(QString::fromLatin1(c.file)));
        ASSERT_NE(module, nullptr) << c.file;
        EXPECT_EQ(module->isValid(), c.valid) << c.file;
    }
    EXPECT_EQ(LanguageModule::load(testModule(QStringLiteral("older.so")))->moduleKey().value_or(QString()),
              "Quantaro Language DLL #1.04");
    EXPECT_FALSE(LanguageModule::load(testModule(QStringLiteral("nokey.so")))->moduleKey().has_value());
}

TEST(LanguageModuleTest, FilesThatAreNotLibrariesDoNotLoad)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("text.so")), "this is not a library\n");
    touch(dir.filePath(QStringLiteral("empty.so")), QByteArray());
    EXPECT_EQ(LanguageModule::load(dir.filePath(QStringLiteral("text.so"))), nullptr);
    EXPECT_EQ(LanguageModule::load(dir.filePath(QStringLiteral("empty.so"))), nullptr);
    EXPECT_EQ(LanguageModule::load(dir.filePath(QStringLiteral("missing.so"))), nullptr);
}

TEST(LanguageModuleTest, ResourcesAreReadFromTheModuleAndReleasedWithIt)
{
    auto module = LanguageModule::load(testModule(QStringLiteral("alpha.so")));
    ASSERT_TRUE(module && module->registerResources());
    EXPECT_EQ(module->language(), "Alpha");
    const QString root = module->resourceRoot();
    ResourceSource source(root);
    EXPECT_EQ(source.string(100), "alpha.dat");
    EXPECT_EQ(source.string(1101), "Reach;Short;Long");
    EXPECT_EQ(source.string(4242), "");
    EXPECT_FALSE(source.dialogTemplate(4242).has_value());
    module.reset();
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/strings.json")));
}

TEST(FirstRunCleanupTest, KeepsTheChosenModuleAndItsUnitFileAndLibrariesThatAreNoModules)
{
    ProgramFolder program;
    program.addModule(QStringLiteral("alpha.so"), QStringLiteral("A.so"));
    program.addModule(QStringLiteral("beta.so"), QStringLiteral("B.so"));
    program.addModule(QStringLiteral("older.so"), QStringLiteral("C.so"));
    program.addModule(QStringLiteral("nokey.so"), QStringLiteral("D.so"));
    touch(program.path(QStringLiteral("ALPHA.DAT")));
    touch(program.path(QStringLiteral("beta.dat")));
    touch(program.path(QStringLiteral("notes.txt")));
    SettingsStore store(program.path(QStringLiteral("q.ini")));
    store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("a.SO"));

    runFirstRunCleanup(store, program.folder());

    EXPECT_EQ(program.files(), (QStringList{"A.so", "ALPHA.DAT", "D.so", "notes.txt"}));
}

TEST(FirstRunCleanupTest, WithoutAChoiceNothingIsDeleted)
{
    ProgramFolder program;
    program.addModule(QStringLiteral("alpha.so"), QStringLiteral("A.so"));
    program.addModule(QStringLiteral("older.so"), QStringLiteral("C.so"));
    touch(program.path(QStringLiteral("alpha.dat")));
    SettingsStore store(program.path(QStringLiteral("q.ini")));

    runFirstRunCleanup(store, program.folder());

    EXPECT_EQ(program.files(), (QStringList{"A.so", "C.so", "alpha.dat"}));
}

TEST(FirstRunCleanupTest, AnInvalidChosenModuleDeletesNoUnitFile)
{
    ProgramFolder program;
    program.addModule(QStringLiteral("older.so"), QStringLiteral("C.so"));
    touch(program.path(QStringLiteral("alpha.dat")));
    touch(program.path(QStringLiteral("beta.dat")));
    SettingsStore store(program.path(QStringLiteral("q.ini")));
    store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("C.so"));

    runFirstRunCleanup(store, program.folder());

    EXPECT_EQ(program.files(), (QStringList{"C.so", "alpha.dat", "beta.dat"}));
}

TEST(FirstRunCleanupTest, ASystemWideInstallKeepsEveryLanguage)
{
    struct Case
    {
        const char* what;
        bool marker;
        bool ownedByUser;
        QStringList left;
    };
    const QStringList everything = {"A.so", "B.so", "alpha.dat", "beta.dat"};
    const Case cases[] = {
        {"portable copy", false, true, {"A.so", "alpha.dat"}},
        {"marked by a package", true, true, everything},
        {"another user's folder", false, false, everything},
        {"both", true, false, everything},
    };
    for (const Case& c : cases) {
        ProgramFolder program;
        program.addModule(QStringLiteral("alpha.so"), QStringLiteral("A.so"));
        program.addModule(QStringLiteral("beta.so"), QStringLiteral("B.so"));
        touch(program.path(QStringLiteral("alpha.dat")));
        touch(program.path(QStringLiteral("beta.dat")));
        if (c.marker) {
            touch(program.path(packageManagedMarker()));
        }
        SettingsStore store(program.path(QStringLiteral("q.ini")));
        store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("A.so"));
        const uint owner = QFileInfo(program.folder()).ownerId();

        runFirstRunCleanup(store, program.folder(), c.ownedByUser ? owner : owner + 1);

        QStringList left = program.files();
        left.removeAll(packageManagedMarker());
        EXPECT_EQ(left, c.left) << c.what;
    }
}

TEST(FirstRunCleanupTest, TheRunningUserOwnsATemporaryFolder)
{
    QTemporaryDir dir;
    EXPECT_FALSE(isSystemWideInstall(dir.path(), currentUserId()));
}

namespace {

class LoadLanguageModuleTest : public ::testing::Test
{
protected:
    LoadLanguageModuleTest() : m_store(m_program.path(QStringLiteral("q.ini")))
    {
        m_services.settings = &m_store;
        m_services.messages = &m_messages;
        m_services.programFolder = m_program.folder();
    }
    ~LoadLanguageModuleTest() override { ResourceSource::current().setRoot(kProgramResourceRoot); }

    ProgramFolder m_program;
    SettingsStore m_store;
    RecordingMessageBoxes m_messages;
    AppServices m_services;
};

} // namespace

TEST_F(LoadLanguageModuleTest, AValidModuleBecomesTheResourceSource)
{
    m_program.addModule(QStringLiteral("alpha.so"), QStringLiteral("alpha.so"));
    m_store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("alpha.so"));
    CConverterApp app(m_services);
    ASSERT_TRUE(app.LoadLanguageModule());
    EXPECT_EQ(ResourceSource::current().string(1100), "Money");
    EXPECT_TRUE(m_messages.messages.empty());
    // Loading again replaces the module cleanly.
    ASSERT_TRUE(app.LoadLanguageModule());
    EXPECT_EQ(ResourceSource::current().string(100), "alpha.dat");
}

TEST_F(LoadLanguageModuleTest, AnythingButAValidModuleShowsTheFixedMessage)
{
    m_program.addModule(QStringLiteral("older.so"), QStringLiteral("older.so"));
    m_program.addModule(QStringLiteral("alpha.so"), QStringLiteral("alpha.so"));
    const QStringList names = {QString(), QStringLiteral("missing.so"), QStringLiteral("older.so"),
                               QStringLiteral("../") + QDir(m_program.folder()).dirName() +
                                   QStringLiteral("/alpha.so")};
    for (const QString& name : names) {
        m_messages.messages.clear();
        m_store.putString(settings::kSettings, settings::kLanguageDllName, name);
        CConverterApp app(m_services);
        EXPECT_FALSE(app.LoadLanguageModule()) << name.toStdString();
        ASSERT_EQ(m_messages.messages.size(), 1u);
        EXPECT_EQ(m_messages.messages[0].text, "Quantaro seems to be damaged. Please reinstall the software.");
        EXPECT_EQ(m_messages.messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(app.languageModule(), nullptr);
    }
}

TEST_F(LoadLanguageModuleTest, StartUpWithoutAModuleEndsWithoutAWindow)
{
    struct CountingWindows : AppWindows
    {
        void runLanguageWindow() override { ++language; }
        void runHomeWindow() override { ++home; }
        int language = 0;
        int home = 0;
    } windows;
    m_services.windows = &windows;
    CConverterApp app(m_services);
    EXPECT_NE(app.startUp(QString()), 0);
    EXPECT_EQ(windows.language, 1);
    EXPECT_EQ(windows.home, 0);
    ASSERT_EQ(m_messages.messages.size(), 1u);
}

TEST(LanguageChoiceTest, ValidModulesAreListedByDescendingLanguageName)
{
    ProgramFolder program;
    program.addModule(QStringLiteral("alpha.so"), QStringLiteral("a.so"));
    program.addModule(QStringLiteral("beta.so"), QStringLiteral("b.so"));
    program.addModule(QStringLiteral("lowercase.so"), QStringLiteral("l.so"));
    program.addModule(QStringLiteral("nolanguage.so"), QStringLiteral("n.so"));
    const std::vector<LanguageEntry> entries = findLanguageEntries(program.folder());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].languageName, "Beta");
    EXPECT_EQ(entries[0].fileName, "b.so");
    EXPECT_EQ(entries[0].langId, 2055);
    EXPECT_EQ(entries[1].languageName, "Alpha");
    EXPECT_EQ(entries[1].headerText, "Alpha label");
}

TEST(LanguageChoiceTest, DefaultRowFollowsTheDeviceLanguage)
{
    struct Case
    {
        uint16_t device;
        std::vector<uint16_t> ids;
        int expected;
    };
    const Case cases[] = {
        {0x0407, {0x0807, 0x0409}, 0}, {0x0411, {0x040C, 0x0809}, 1}, {0x0411, {0x040C, 0x0410}, -1},
        {0x040C, {0x0409, 0x040C}, 1}, {0, {0x040C, 0x0409}, 1},      {0x0409, {}, -1},
    };
    for (const Case& c : cases) {
        std::vector<LanguageEntry> entries(c.ids.size());
        for (size_t i = 0; i < c.ids.size(); ++i) {
            entries[i].langId = c.ids[i];
        }
        EXPECT_EQ(defaultLanguageEntry(entries, c.device), c.expected) << std::hex << c.device;
    }
}

TEST(LanguageChoiceTest, ConfirmStoresTheChoiceOrThatThereIsNone)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("q.ini")));
    std::vector<LanguageEntry> none;
    store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("old.so"));
    confirmLanguageChoice(store, none, -1);
    EXPECT_FALSE(store.contains(settings::kSettings, settings::kLanguageDllName));
    EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 0), 1);

    std::vector<LanguageEntry> two(2);
    two[0].fileName = QStringLiteral("fr.so");
    two[1].fileName = QStringLiteral("en.so");
    confirmLanguageChoice(store, two, -1);
    EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 0), 1);
    confirmLanguageChoice(store, two, 1);
    EXPECT_EQ(store.getString(settings::kSettings, settings::kLanguageDllName), "en.so");
    EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
}
