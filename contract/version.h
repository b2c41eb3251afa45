#pragma once

// The component's version, used by the version record and by the identity
// service alike.
#define VEXIL_VERSION_MAJOR 0
#define VEXIL_VERSION_MINOR 1
#define VEXIL_VERSION_PATCH 0
#define VEXIL_VERSION_BUILD 1
#define VEXIL_VERSION_TEXT "0.1"
#define VEXIL_VERSION_FULL_TEXT "0.1.0.1"

#define VEXIL_COMPONENT_NAME "Vexil Status"
