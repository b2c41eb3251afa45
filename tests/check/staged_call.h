#pragma once

// The environment variable that stages one OS call in watched_check.exe:
// "FUNCTION N ANSWER" makes the Nth call the check makes of FUNCTION answer
// ANSWER, as os_calls.h says for each function.
constexpr char staged_call_variable[] = "VEXIL_STAGED_CALL";
