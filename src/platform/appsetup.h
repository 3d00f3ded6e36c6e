#pragma once

class QApplication;

namespace platform {

// What every window of the program expects of the application: the Japanese fonts under the
// names the windows ask for, Japanese standard buttons, and the key-state tracker.
void setupApplication(QApplication& app);

} // namespace platform
