// What the window needs from whoever shows it: modal message boxes and the
// desktop's web browser. Each front end (the Windows GUI, the command line)
// implements it; tests implement it by recording the calls.
#pragma once

#include <string>

namespace nuv {

enum class MessageStyle {
    Plain,        // OK button, no icon
    Exclamation,  // OK button, exclamation icon
    Information,  // OK button, information icon
    Critical,     // OK button, stop icon
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // A modal box with an OK button; returns when the player has closed it.
    virtual void messageBox(const std::string& title, const std::string& text,
                            MessageStyle style) = 0;
    // Opens the address in the default browser ("open", normal window).
    virtual void openWebPage(const std::string& url) = 0;
};

// A front end that shows nothing; for callers that only want the files.
class SilentFrontEnd : public FrontEnd {
public:
    void messageBox(const std::string&, const std::string&, MessageStyle) override {}
    void openWebPage(const std::string&) override {}
};

}  // namespace nuv
