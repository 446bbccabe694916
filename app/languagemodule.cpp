#include "app/languagemodule.h"

#include <QResource>

namespace quantaro {

namespace {

using TextExport = const char16_t* (*)();
using BundleExport = const unsigned char* (*)(const char**);

constexpr char kModuleKeyExport[] = "GetModuleKey";
constexpr char kLanguageExport[] = "GetLanguage";
constexpr char kBundleExport[] = "GetResourceBundle";
// A module's texts are read into bounded buffers: anything longer is cut.
constexpr int kModuleKeyMaxLength = 1023;
constexpr int kResourceRootMaxLength = 255;

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

} // namespace

QString languageModulePattern()
{
    return QStringLiteral("*.so");
}

std::unique_ptr<LanguageModule> LanguageModule::load(const QString& path)
{
    std::unique_ptr<LanguageModule> module(new LanguageModule(path));
    if (!module->m_library.load()) {
        return nullptr;
    }
    return module;
}

LanguageModule::LanguageModule(const QString& path)
    : m_library(path)
{
}

LanguageModule::~LanguageModule()
{
    if (m_bundle != nullptr) {
        QResource::unregisterResource(m_bundle, QString());
    }
    m_library.unload();
}

bool LanguageModule::exportsModuleKey() const
{
    return m_library.resolve(kModuleKeyExport) != nullptr;
}

std::optional<QString> LanguageModule::moduleKey() const
{
    const auto function = reinterpret_cast<TextExport>(m_library.resolve(kModuleKeyExport));
    if (function == nullptr) {
        return std::nullopt;
    }
    return boundedText(function(), kModuleKeyMaxLength);
}

bool LanguageModule::isValid() const
{
    const std::optional<QString> key = moduleKey();
    return key && *key == kModuleIdentity && m_library.resolve(kLanguageExport) != nullptr &&
           m_library.resolve(kBundleExport) != nullptr;
}

QString LanguageModule::language() const
{
    const auto function = reinterpret_cast<TextExport>(m_library.resolve(kLanguageExport));
    return function == nullptr ? QString() : boundedText(function(), kLanguageNameMaxLength);
}

bool LanguageModule::registerResources()
{
    if (m_bundle != nullptr) {
        return true;
    }
    const auto function = reinterpret_cast<BundleExport>(m_library.resolve(kBundleExport));
    if (function == nullptr) {
        return false;
    }
    const char* root = nullptr;
    const unsigned char* bundle = function(&root);
    if (bundle == nullptr || root == nullptr) {
        return false;
    }
    const QString rootText = QString::fromLatin1(root, static_cast<int>(qstrnlen(root, kResourceRootMaxLength)));
    if (!rootText.startsWith(QLatin1Char('/')) || rootText.size() < 2) {
        return false;
    }
    if (!QResource::registerResource(bundle, QString())) {
        return false;
    }
    m_bundle = bundle;
    m_root = QLatin1Char(':') + rootText;
    return true;
}

} // namespace quantaro
