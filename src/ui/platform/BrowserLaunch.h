#pragma once
#include <QUrl>

#include <functional>

namespace vrelmont::ui {

// Opens `url` in the user's browser and tells `told` whether a browser took it: at once where the
// system answers so, later where only the launcher's exit says it.
void LaunchBrowser(const QUrl &url, std::function<void(bool)> told);

} // namespace vrelmont::ui
