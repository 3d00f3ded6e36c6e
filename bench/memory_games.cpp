// Twenty whole games in one process through the windows, every problem answered right; the
// resident memory after the third and the twentieth shows whether games leave anything behind.
#include "game/form1.h"
#include "player.h"
#include "testsupport.h"

#include <QApplication>

#include <cstdio>

namespace {

class Player : public monkey::Driver {
  public:
    using Driver::Driver;
    long afterThird = -1;
    long afterLast = -1;

  protected:
    bool step() override {
        if (gamesFinished >= 20) return false;
        QWidget* top = topWindow();
        if (top && playRight(top)) {
            ++gamesFinished;
            if (gamesFinished == 3) afterThird = monkey::residentKb();
            if (gamesFinished == 20) afterLast = monkey::residentKb();
        }
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testsupport::Environment env;
    Form1::setSeedSource([] { return 20261206u; });
    Player player(env);
    player.run();
    Form1::setSeedSource({});
    std::printf("VmRSS after game 3: %ld kB\nVmRSS after game 20: %ld kB\n", player.afterThird,
                player.afterLast);
    return player.afterLast > 0 ? 0 : 1;
}
