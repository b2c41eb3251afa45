#pragma once

// The environment variable that stages a failure in check_with_failing_call.exe:
// "FUNCTION N ERROR" fails the Nth call the check makes of FUNCTION
// (RegOpenKeyExA, RegQueryValueExA, RegSetValueExA, PostMessageA or
// malloc) with ERROR, as Windows may fail it.
constexpr char failing_call_variable[] = "VEXIL_FAILING_CALL";
