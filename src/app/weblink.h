// The maker's name and web page, and opening that page in the default browser.
#pragma once

#include <QString>

namespace weblink {
inline const QString makerName = QStringLiteral("Huebrook Labs");
inline const QString siteName = QStringLiteral("huebrook.example.org");
inline const char *const address = "https://huebrook.example.org/";

// Reports nothing of its own: without a browser the platform's own behaviour is all there is.
void openMakerPage();
} // namespace weblink
