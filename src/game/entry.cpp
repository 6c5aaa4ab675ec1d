// The program entry of brisquel2: starts the platform, runs the game once, and hands a runtime error that nothing
// caught to the fatal-error path (its message on standard error, exit code -1).
#include <exception>

#include "game/startup.h"
#include "platform/system.h"

int main(int argc, char** argv) {
    try {
        Sys_Init(argc, argv);
        const int code = Main_Body();
        Sys_Shutdown();
        return code;
    } catch (const std::exception& e) {
        Sys_FatalExit(e.what());
    }
}
