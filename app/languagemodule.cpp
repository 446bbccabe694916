#include "app/languagemodule.h"

#include "app/moduletrial.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QResource>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

// The ELF header of this program (or of the library holding this code), which the linker provides.
extern "C" const ElfW(Ehdr) __ehdr_start __attribute__((weak, visibility("hidden")));

namespace quantaro {

namespace {

using moduleexports::BundleExport;
using moduleexports::kModuleKeyMaxLength;
using moduleexports::kResourceRootMaxLength;
using moduleexports::TextExport;
constexpr const char* kModuleKeyExport = moduleexports::kModuleKey;
constexpr const char* kLanguageExport = moduleexports::kLanguage;
constexpr const char* kBundleExport = moduleexports::kBundle;

QString boundedText(const char16_t* text, int maxLength)
{
    if (text == nullptr) {
        return {};
    }
    int length = 0;
    while (length < maxLength && text[length] != u'\0') {
        ++length;
    }
    return QString::fromUtf16(text, length);
}

using FileHeader = ElfW(Ehdr);
using SegmentHeader = ElfW(Phdr);
using SectionHeader = ElfW(Shdr);

/** What a module must match to be loaded into this process: class, byte order and machine. */
struct Machine
{
    unsigned char elfClass;
    unsigned char byteOrder;
    ElfW(Half) machine;
};

Machine thisMachine()
{
    if (&__ehdr_start != nullptr) {
        return {__ehdr_start.e_ident[EI_CLASS], __ehdr_start.e_ident[EI_DATA], __ehdr_start.e_machine};
    }
    // Without the linker's symbol: what this build was compiled for.
    constexpr unsigned char kClass = sizeof(void*) == sizeof(Elf64_Addr) ? ELFCLASS64 : ELFCLASS32;
    constexpr unsigned char kOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__)
    return {kClass, kOrder, EM_X86_64};
#elif defined(__aarch64__)
    return {kClass, kOrder, EM_AARCH64};
#elif defined(__i386__)
    return {kClass, kOrder, EM_386};
#elif defined(__arm__)
    return {kClass, kOrder, EM_ARM};
#elif defined(__riscv)
    return {kClass, kOrder, EM_RISCV};
#else
    return {kClass, kOrder, EM_NONE};
#endif
}

bool readAt(int fd, void* into, size_t size, uint64_t offset)
{
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t got = ::pread(fd, bytes, size, static_cast<off_t>(offset));
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
    return true;
}

/** Whether [offset, offset + size) lies inside a file of fileSize bytes, without overflow. */
bool inside(uint64_t offset, uint64_t size, uint64_t fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

bool headerFits(const FileHeader& header, uint64_t fileSize)
{
    const Machine machine = thisMachine();
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != machine.elfClass ||
        header.e_ident[EI_DATA] != machine.byteOrder || header.e_ident[EI_VERSION] != EV_CURRENT ||
        header.e_type != ET_DYN || (machine.machine != EM_NONE && header.e_machine != machine.machine)) {
        return false;
    }
    if (header.e_phentsize != sizeof(SegmentHeader) || header.e_phnum == 0 || header.e_phnum == PN_XNUM ||
        !inside(header.e_phoff, uint64_t{header.e_phnum} * sizeof(SegmentHeader), fileSize)) {
        return false;
    }
    // The section headers come last in the file: a module cut anywhere loses them.
    return header.e_shnum == 0 || (header.e_shentsize == sizeof(SectionHeader) &&
                                   inside(header.e_shoff, uint64_t{header.e_shnum} * sizeof(SectionHeader), fileSize));
}

} // namespace

bool isCompleteSharedObject(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    FileHeader header = {};
    bool complete = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
                    readAt(fd, &header, sizeof(header), 0) && headerFits(header, static_cast<uint64_t>(info.st_size));
    for (ElfW(Half) i = 0; complete && i < header.e_phnum; ++i) {
        SegmentHeader segment = {};
        // The loader maps every segment's bytes; one that reaches past the end faults when read.
        complete = readAt(fd, &segment, sizeof(segment), header.e_phoff + uint64_t{i} * sizeof(segment)) &&
                   inside(segment.p_offset, segment.p_filesz, static_cast<uint64_t>(info.st_size));
    }
    ::close(fd);
    return complete;
}

QString languageModulePattern()
{
    return QStringLiteral("*.so");
}

struct LanguageModule::Mapping
{
    explicit Mapping(const QString& path) : library(path) {}
    ~Mapping()
    {
        if (bundle != nullptr) {
            QResource::unregisterResource(bundle, QString());
        }
        library.unload();
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    QLibrary library;
    const unsigned char* bundle = nullptr;
    QString root;
};

namespace {

std::mutex g_mappingsMutex;
/** The live mappings by the module file's canonical path. */
std::map<QString, std::weak_ptr<LanguageModule::Mapping>> g_mappings;

} // namespace

std::unique_ptr<LanguageModule> LanguageModule::load(const QString& path)
{
    // A cut copy would be mapped as it is and fault when the loader reads past its end; one damaged
    // inside faults in the loader or in its own code, which only a trial shows.
    if (!isCompleteSharedObject(path) || !moduleSurvivesTrial(path)) {
        return nullptr;
    }
    const QString file = QFileInfo(path).canonicalFilePath();
    const std::lock_guard<std::mutex> guard(g_mappingsMutex);
    std::erase_if(g_mappings, [](const auto& entry) { return entry.second.expired(); });
    std::shared_ptr<Mapping> mapping = g_mappings[file].lock();
    if (!mapping) {
        mapping = std::make_shared<Mapping>(file);
        if (!mapping->library.load()) {
            g_mappings.erase(file);
            return nullptr;
        }
        g_mappings[file] = mapping;
    }
    return std::unique_ptr<LanguageModule>(new LanguageModule(path, std::move(mapping)));
}

LanguageModule::LanguageModule(QString path, std::shared_ptr<Mapping> mapping)
    : m_path(std::move(path)), m_mapping(std::move(mapping))
{
}

LanguageModule::~LanguageModule() = default;

bool LanguageModule::exportsModuleKey() const
{
    return m_mapping->library.resolve(kModuleKeyExport) != nullptr;
}

std::optional<QString> LanguageModule::moduleKey() const
{
    const auto function = reinterpret_cast<TextExport>(m_mapping->library.resolve(kModuleKeyExport));
    if (function == nullptr) {
        return std::nullopt;
    }
    return boundedText(function(), kModuleKeyMaxLength);
}

bool LanguageModule::isValid() const
{
    const std::optional<QString> key = moduleKey();
    return key && *key == kModuleIdentity && m_mapping->library.resolve(kLanguageExport) != nullptr &&
           m_mapping->library.resolve(kBundleExport) != nullptr;
}

QString LanguageModule::language() const
{
    const auto function = reinterpret_cast<TextExport>(m_mapping->library.resolve(kLanguageExport));
    return function == nullptr ? QString() : boundedText(function(), kLanguageNameMaxLength);
}

bool LanguageModule::registerResources()
{
    if (!m_root.isEmpty()) {
        return true;
    }
    const std::lock_guard<std::mutex> guard(g_mappingsMutex);
    Mapping& mapping = *m_mapping;
    if (mapping.bundle == nullptr) {
        const auto function = reinterpret_cast<BundleExport>(mapping.library.resolve(kBundleExport));
        if (function == nullptr) {
            return false;
        }
        const char* root = nullptr;
        const unsigned char* bundle = function(&root);
        if (bundle == nullptr || root == nullptr) {
            return false;
        }
        const QString rootText = QString::fromLatin1(root, static_cast<int>(qstrnlen(root, kResourceRootMaxLength)));
        if (!rootText.startsWith(QLatin1Char('/')) || rootText.size() < 2 ||
            !QResource::registerResource(bundle, QString())) {
            return false;
        }
        mapping.bundle = bundle;
        mapping.root = QLatin1Char(':') + rootText;
    }
    m_root = mapping.root;
    return true;
}

} // namespace quantaro
