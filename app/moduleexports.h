#pragma once

// What a language module exports and the bounds of what it hands over; plain C++, so that the
// small program that tries a module before the windows load it needs no Qt.

namespace quantaro {

/** Most characters of a module's language name that are used. */
inline constexpr int kLanguageNameMaxLength = 127;

/** What a language module exports, and the bounds of the texts it hands over. */
namespace moduleexports {
inline constexpr char kModuleKey[] = "GetModuleKey";
inline constexpr char kLanguage[] = "GetLanguage";
inline constexpr char kBundle[] = "GetResourceBundle";
// A module's texts are read into bounded buffers: anything longer is cut.
inline constexpr int kModuleKeyMaxLength = 1023;
inline constexpr int kResourceRootMaxLength = 255;
using TextExport = const char16_t* (*)();
using BundleExport = const unsigned char* (*)(const char**);
} // namespace moduleexports

/**
 * Does with the module at path everything the program does before Qt reads its resources: maps it
 * with every relocation resolved, calls its exports and reads the texts and the bundle's header they
 * give. Then writes one byte to answer and ends the process: exit status 0 when the byte was
 * written. A damaged module ends the process on a fault instead, without a core dump. Runs in a
 * process of its own, never in the program's.
 */
[[noreturn]] void tryModuleAndExit(const char* path, int answer);

/** The byte tryModuleAndExit writes when the module survived. */
inline constexpr char kModuleSurvived = 'Y';

} // namespace quantaro
