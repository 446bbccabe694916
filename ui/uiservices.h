#pragma once

namespace quantaro {

class MessageBoxes;
class ScreenInfo;
class Shell;
class SettingsStore;
class ResourceSource;

/**
 * The platform services a window uses, handed down by its opener so tests can pass fakes. A null
 * message service or screen falls back to the real one; a null resource source means the
 * process-wide one.
 */
struct UiServices
{
    MessageBoxes* messages = nullptr;
    ScreenInfo* screen = nullptr;
    Shell* shell = nullptr;
    SettingsStore* settings = nullptr;
    const ResourceSource* resources = nullptr;
};

} // namespace quantaro
