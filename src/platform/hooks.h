// The shared do-nothing function of every hook table: a hook that nobody filled calls Hook_Nothing, never null.
// Used by the hook tables of the board, the effects and the castle, and by the runtime that fills them.
#pragma once

// Does nothing and returns the neutral value of its type (0, false, null).
template <typename R, typename... Args> R Hook_Nothing(Args...) { return R(); }

// Sets one hook to the do-nothing function of its own type.
template <typename R, typename... Args> void Hook_SetNothing(R (*&fn)(Args...)) { fn = &Hook_Nothing<R, Args...>; }
// Sets every hook given to its do-nothing function: Hooks_SetNothing(t.a, t.b, ...).
template <typename... Fns> void Hooks_SetNothing(Fns&... fns) { (Hook_SetNothing(fns), ...); }
