// libFuzzer target for the harness's input-script reader: any text must give events in frame order with valid
// fields, never a crash or a hang. Built with BQ_FUZZ=ON (clang); CI runs it for a short time.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> errors;
    const std::vector<ScriptEvent> events =
        Harness_ParseScript(std::string(reinterpret_cast<const char*>(data), size), &errors);
    int last = 1;
    for (const ScriptEvent& e : events) {
        if (e.frame < last) __builtin_trap(); // sorted, and never before frame 1
        last = e.frame;
        const bool button = e.kind == ScriptEvent::DOWN || e.kind == ScriptEvent::UP;
        const bool key = e.kind == ScriptEvent::KEY_DOWN || e.kind == ScriptEvent::KEY_UP;
        if (button && (e.a < 1 || e.a > 3)) __builtin_trap();
        if (key && (e.a < 1 || e.a > 255)) __builtin_trap();
        if (e.kind == ScriptEvent::TEXT && e.text.empty()) __builtin_trap();
    }
    return 0;
}
