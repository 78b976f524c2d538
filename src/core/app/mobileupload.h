#pragma once

#include <string>

namespace ambrel::app {

class Tmyambrel;

// The mobile operator's service that sends a picture found at an address to the person's
// phone; the program only opens its page in the web browser.
inline constexpr const char* kMobileOperatorBase = "http://www.revizaviva.com";
inline constexpr const char* kMobileOperatorHome = "http://www.revizaviva.com/";
inline constexpr const char* kMobileNotice =
    "This sends pictures to your mobile phone. It goes through an outside mobile operator, "
    "whose service is charged to every user: check its prices before you go on.";

// "M": tells what the command does, then hands the first selected entry to the operator.
void mobileUpload(Tmyambrel& app);
// Opens the operator's upload page for a web address, its home page for anything else.
void loadtorevizaviva(Tmyambrel& app, const std::string& path);

}  // namespace ambrel::app
