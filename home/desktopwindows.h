#pragma once

#include "app/cconverterapp.h"
#include "ui/uiservices.h"

namespace quantaro {

/** The windows of a normal run on a desktop or phone. */
class DesktopWindows final : public AppWindows
{
public:
    explicit DesktopWindows(CConverterApp& app);
    void runLanguageWindow() override;
    void runHomeWindow() override;

private:
    UiServices uiServices() const;

    CConverterApp& m_app;
};

} // namespace quantaro
