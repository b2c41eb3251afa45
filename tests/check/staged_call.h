#pragma once

// The environment variable that stages one OS call in watched_check.exe:
// "FUNCTION N ANSWER" makes the Nth call the check makes of FUNCTION answer
// as Windows may: RegOpenKeyExA, RegQueryValueExA and RegSetValueExA fail
// with error ANSWER, PostMessageA and GetProcAddress fail with last error
// ANSWER, malloc gives no memory, and GetCPInfo tells of code page ANSWER.
constexpr char staged_call_variable[] = "VEXIL_STAGED_CALL";
