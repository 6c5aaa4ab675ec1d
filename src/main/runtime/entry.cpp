// The program entry of brisquel2: starts the platform, runs the game once, and turns a runtime error that nothing
// caught into its message on standard error and exit code -1.
#include <exception>
#include <iostream>

#include "main/runtime/startup.h"
#include "platform/system.h"

int main(int argc, char** argv) {
    try {
        Sys_Init(argc, argv);
        const int code = Main_Body();
        Sys_Shutdown();
        return code;
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
        return -1;
    }
}
