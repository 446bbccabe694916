#pragma once

#include "app/moduleexports.h"
#include "generated/programversion.h"

#include <QString>
#include <memory>
#include <optional>

namespace quantaro {

/** The identity string that a language module of this version returns from GetModuleKey. */
inline const QString kModuleIdentity = QStringLiteral(QUANTARO_MODULE_IDENTITY);

/**
 * Whether the file is a whole shared object for this machine: an ELF header of this process's
 * class, byte order and machine, and every segment and the section header table inside the file.
 * A file cut short (a partial copy) fails, and is never handed to the dynamic loader.
 */
bool isCompleteSharedObject(const QString& path);

/** File name pattern of language modules in the program folder. */
QString languageModulePattern();

/**
 * One loaded language module: a shared library exporting GetModuleKey, GetLanguage and
 * GetResourceBundle. Its resources are registered on demand and unregistered before the library
 * is unloaded (the other order crashes on the next read).
 *
 * Every module object of one file shares one mapping of it, which holds the library and its one
 * registration of the resources: Qt unloads a library file as soon as any one of its loaders
 * unloads it, so a second load of the file (a settings file saved again with the same module)
 * would leave the first one's resources pointing into unmapped memory once the first let go.
 * The library and its resources live until the last module object of the file is gone.
 */
class LanguageModule
{
public:
    /** Loads the library at that path; nothing when it is not a whole shared object or not loadable. */
    static std::unique_ptr<LanguageModule> load(const QString& path);
    ~LanguageModule();
    LanguageModule(const LanguageModule&) = delete;
    LanguageModule& operator=(const LanguageModule&) = delete;

    /** Whether the module exports GetModuleKey at all. */
    bool exportsModuleKey() const;
    /** The identity string, or nothing when the export is missing. */
    std::optional<QString> moduleKey() const;
    /** The identity test, plus every other export that the program relies on. */
    bool isValid() const;
    /** The language's own name, at most 127 characters; empty when the module gives none. */
    QString language() const;
    /** Registers the module's resources; false when it has none or they are unreadable. */
    bool registerResources();
    /** Resource path prefix of this module, such as ":/qlm_en"; empty before registration. */
    QString resourceRoot() const { return m_root; }
    QString path() const { return m_path; }

    struct Mapping;

private:
    LanguageModule(QString path, std::shared_ptr<Mapping> mapping);

    QString m_path;
    std::shared_ptr<Mapping> m_mapping;
    QString m_root;
};

} // namespace quantaro
