#pragma once

// The environment variable that names the OS call check_with_failing_call.exe
// fails: "RegSetValueExA" or "PostMessageA".
constexpr char failing_call_variable[] = "VEXIL_FAILING_CALL";
