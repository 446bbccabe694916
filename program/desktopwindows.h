#pragma once

#include "app/cconverterapp.h"
#include "convert/convertrequest.h"
#include "ui/uiservices.h"

#include <optional>

namespace quantaro {

/** The windows of a normal run on a desktop or phone. */
class DesktopWindows final : public AppWindows
{
public:
    explicit DesktopWindows(CConverterApp& app);
    void runLanguageWindow() override;
    void runHomeWindow() override;
    /** The conversion window the home window opens once it has its catalogue. */
    void openOnStart(const ConvertRequest& request) { m_startRequest = request; }

    /** Closes every open window, the innermost first, as its Cancel would: each keeps what it
     *  keeps on closing (the conversion window its units and value) before its parent closes. */
    static void closeAll();

private:
    UiServices uiServices() const;

    CConverterApp& m_app;
    std::optional<ConvertRequest> m_startRequest;
};

} // namespace quantaro
