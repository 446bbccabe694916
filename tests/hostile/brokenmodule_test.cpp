#include "app/cconverterapp.h"
#include "app/languagechoice.h"
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "home/cmaindlg.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/cstretchbitmapbutton.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <link.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

QString testModule(const QString& name)
{
    return QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + name;
}

struct BrokenModule
{
    const char* file;
    bool valid;
    bool resourcesRegister;
    QString language;
};

const QString kHugeLanguage = QStringLiteral("Huge") + QString(kLanguageNameMaxLength - 4, QLatin1Char('x'));

// Each module breaks one part of its contract; the part decides whether it still counts.
TEST(BrokenModuleTest, AModuleFailingAnyPartOfItsContractIsNeverHalfUsed)
{
    const BrokenModule modules[] = {
        {"broken_empty.so", true, true, QStringLiteral("Broken")},
        {"broken_nullkey.so", false, true, QStringLiteral("Broken")},
        {"broken_hugekey.so", false, true, QStringLiteral("Broken")},
        {"broken_nulllanguage.so", true, true, QString()},
        {"broken_hugelanguage.so", true, true, kHugeLanguage},
        {"broken_nullbundle.so", true, false, QStringLiteral("Broken")},
        {"broken_garbagebundle.so", true, false, QStringLiteral("Broken")},
        {"broken_newerbundle.so", true, false, QStringLiteral("Broken")},
        {"broken_noroot.so", true, false, QStringLiteral("Broken")},
        {"broken_relativeroot.so", true, false, QStringLiteral("Broken")},
    };
    for (const BrokenModule& m : modules) {
        auto module = LanguageModule::load(testModule(QString::fromLatin1(m.file)));
        ASSERT_NE(module, nullptr) << m.file;
        EXPECT_EQ(module->isValid(), m.valid) << m.file;
        EXPECT_EQ(module->language(), m.language) << m.file;
        EXPECT_EQ(module->registerResources(), m.resourcesRegister) << m.file;
        EXPECT_EQ(module->resourceRoot().isEmpty(), !m.resourcesRegister) << m.file;
    }
}

class BrokenModuleStartTest : public ::testing::Test
{
protected:
    BrokenModuleStartTest() : m_store(m_dir.filePath(QStringLiteral("q.ini")))
    {
        m_services.settings = &m_store;
        m_services.messages = &m_messages;
        m_services.programFolder = m_dir.path();
    }
    ~BrokenModuleStartTest() override { ResourceSource::current().setRoot(kProgramResourceRoot); }

    void addModule(const char* file)
    {
        ASSERT_TRUE(QFile::copy(testModule(QString::fromLatin1(file)), m_dir.filePath(QString::fromLatin1(file))));
    }

    QTemporaryDir m_dir;
    SettingsStore m_store;
    RecordingMessageBoxes m_messages;
    AppServices m_services;
};

TEST_F(BrokenModuleStartTest, OnlyModulesWhoseResourcesRegisterAreLoadedOrListed)
{
    const char* refused[] = {"broken_nullkey.so",       "broken_hugekey.so",     "broken_nullbundle.so",
                             "broken_garbagebundle.so", "broken_newerbundle.so", "broken_noroot.so",
                             "broken_relativeroot.so"};
    for (const char* file : refused) {
        addModule(file);
        m_messages.messages.clear();
        m_store.putString(settings::kSettings, settings::kLanguageDllName, QString::fromLatin1(file));
        CConverterApp app(m_services);
        EXPECT_FALSE(app.LoadLanguageModule()) << file;
        EXPECT_EQ(m_messages.messages.size(), 1u) << file;
        EXPECT_EQ(ResourceSource::current().root(), kProgramResourceRoot) << file;
    }
    addModule("broken_nulllanguage.so");
    addModule("broken_hugelanguage.so");
    addModule("broken_empty.so");

    QStringList listed;
    for (const LanguageEntry& entry : findLanguageEntries(m_dir.path())) {
        listed << entry.fileName;
        EXPECT_LE(entry.languageName.size(), kLanguageNameMaxLength);
    }
    listed.sort();
    EXPECT_EQ(listed, QStringList({QStringLiteral("broken_empty.so"), QStringLiteral("broken_hugelanguage.so")}));
}

struct ModuleWithoutPieces
{
    const char* file;
    /** The module holds a home window template that can be read. */
    bool homeWindow;
};

// Missing or unreadable templates mean that the window is not created; missing menus and pictures
// leave the window without them. Either way nothing crashes and the strings read as empty.
TEST_F(BrokenModuleStartTest, MissingOrDamagedPiecesAreTreatedAsAbsent)
{
    const ModuleWithoutPieces modules[] = {
        {"broken_empty.so", false},
        {"damaged.so", false},
        {"nopictures.so", true},
    };
    for (const ModuleWithoutPieces& m : modules) {
        addModule(m.file);
        m_store.putString(settings::kSettings, settings::kLanguageDllName, QString::fromLatin1(m.file));
        CConverterApp app(m_services);
        ASSERT_TRUE(app.LoadLanguageModule()) << m.file;
        if (!m.homeWindow) {
            EXPECT_TRUE(ResourceSource::current().string(res::kUnitFileName).isEmpty()) << m.file;
        }

        UiServices ui;
        ui.messages = &m_messages;
        ui.settings = &m_store;
        CMainDlg home(ui, m_dir.path());
        EXPECT_EQ(home.isCreated(), m.homeWindow) << m.file;
        if (m.homeWindow) {
            EXPECT_EQ(home.menuBar(), nullptr) << m.file;
            home.resize(240, 320);
            EXPECT_FALSE(home.grab().isNull()) << m.file;
        }
        ResourceSource::current().setRoot(kProgramResourceRoot);
    }
}

// A partial copy of a module (an interrupted copy to an old SD card) is mapped by the dynamic loader
// as it is and faults when read past its end: it must count as no language module at all, in the
// start-up, the language list and the terminal converter.
TEST_F(BrokenModuleStartTest, ACutModuleIsNoLanguageModuleAndCrashesNothing)
{
    QFile whole(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_fr.so"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    addModule("alpha.so");
    const QString cut = m_dir.filePath(QStringLiteral("cut.so"));
    const qsizetype sizes[] = {64, 4096, bytes.size() / 2, bytes.size() * 9 / 10, bytes.size() - 1};
    for (const qsizetype size : sizes) {
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes.left(size)), size);
        file.close();

        EXPECT_FALSE(isCompleteSharedObject(cut)) << size;
        EXPECT_EQ(LanguageModule::load(cut), nullptr) << size;
        const std::vector<LanguageEntry> entries = findLanguageEntries(m_dir.path());
        ASSERT_EQ(entries.size(), 1u) << size;
        EXPECT_EQ(entries.front().fileName, QStringLiteral("alpha.so")) << size;

        m_messages.messages.clear();
        m_store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("cut.so"));
        CConverterApp app(m_services);
        EXPECT_FALSE(app.LoadLanguageModule()) << size;
        ASSERT_EQ(m_messages.messages.size(), 1u) << size;
        EXPECT_EQ(m_messages.messages.front().text, kDamagedMessage) << size;

        QProcess convert;
        convert.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                      {QStringLiteral("--module"), cut, QStringLiteral("--list")});
        ASSERT_TRUE(convert.waitForFinished());
        EXPECT_EQ(convert.exitStatus(), QProcess::NormalExit) << size;
        EXPECT_EQ(convert.exitCode(), 1) << size;
        EXPECT_TRUE(convert.readAllStandardError().contains("not a valid language module")) << size;
    }
    EXPECT_TRUE(isCompleteSharedObject(whole.fileName()));
}

/** Ways a module of the right size is damaged inside, which its headers do not show. */
enum class Damage
{
    SecondHalfZeroed, ///< what a crashed or pre-allocating copy leaves
    DynamicZeroed,
    DynamicOutside, ///< the dynamic segment's address far past every mapped byte
};

QByteArray damaged(QByteArray bytes, Damage damage)
{
    if (damage == Damage::SecondHalfZeroed) {
        const qsizetype half = bytes.size() / 2;
        bytes.replace(half, bytes.size() - half, QByteArray(bytes.size() - half, '\0'));
        return bytes;
    }
    ElfW(Ehdr) header;
    std::memcpy(&header, bytes.constData(), sizeof(header));
    for (int i = 0; i < header.e_phnum; ++i) {
        const qsizetype at = qsizetype(header.e_phoff) + i * qsizetype(sizeof(ElfW(Phdr)));
        ElfW(Phdr) segment;
        std::memcpy(&segment, bytes.constData() + at, sizeof(segment));
        if (segment.p_type != PT_DYNAMIC) {
            continue;
        }
        if (damage == Damage::DynamicZeroed) {
            bytes.replace(qsizetype(segment.p_offset), qsizetype(segment.p_filesz),
                          QByteArray(qsizetype(segment.p_filesz), '\0'));
        } else {
            constexpr ElfW(Addr) kFarAway = ElfW(Addr){1} << 40;
            segment.p_vaddr = kFarAway;
            std::memcpy(bytes.data() + at, &segment, sizeof(segment));
        }
    }
    return bytes;
}

// A module damaged inside takes down the loader or its own code: every program refuses it instead,
// the terminal converter and a first start whose folder holds it beside a sound module alike.
TEST_F(BrokenModuleStartTest, AModuleDamagedInsideIsRefusedByEveryProgram)
{
    constexpr int kRunTimeoutMs = 30000;
    QFile whole(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_fr.so"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    // A fresh install of its own: the program, the English module and its unit file, the damaged one.
    const QString program = m_dir.filePath(QStringLiteral("quantaro"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro"), program));
    for (const char* file : {"quantaro_en.so", "quantaro_en.dat"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + QLatin1String(file),
                                m_dir.filePath(QLatin1String(file))));
    }
    const QString module = m_dir.filePath(QStringLiteral("quantaro_fr.so"));
    for (const Damage damage : {Damage::SecondHalfZeroed, Damage::DynamicZeroed, Damage::DynamicOutside}) {
        QFile file(module);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(damaged(bytes, damage)), bytes.size());
        file.close();
        ASSERT_TRUE(isCompleteSharedObject(module)) << "the headers pass: " << int(damage);

        QProcess convert;
        convert.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                      {QStringLiteral("--module"), module, QStringLiteral("--list")});
        ASSERT_TRUE(convert.waitForFinished(kRunTimeoutMs)) << int(damage);
        EXPECT_EQ(convert.exitStatus(), QProcess::NormalExit) << int(damage);
        EXPECT_EQ(convert.exitCode(), 1) << int(damage);

        QTemporaryDir home;
        QProcess firstStart;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUANTARO_EXIT_AFTER_PAINT"), QStringLiteral("1"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path());
        firstStart.setProcessEnvironment(environment);
        firstStart.start(program, {});
        ASSERT_TRUE(firstStart.waitForFinished(kRunTimeoutMs)) << int(damage);
        EXPECT_EQ(firstStart.exitStatus(), QProcess::NormalExit) << int(damage);
        if (HasFailure()) {
            return; // loading it here too would take the whole test program down
        }
        EXPECT_EQ(LanguageModule::load(module), nullptr) << int(damage);
        const std::vector<LanguageEntry> entries = findLanguageEntries(m_dir.path());
        ASSERT_EQ(entries.size(), 1u) << int(damage);
        EXPECT_EQ(entries.front().fileName, QStringLiteral("quantaro_en.so"));
    }
}

} // namespace
