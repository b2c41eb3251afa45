#pragma once

// The component's name and version as the host and the user see them: in
// the version record, the identity service, the page and the status check.
#define VEXIL_VERSION_MAJOR 0
#define VEXIL_VERSION_MINOR 1
#define VEXIL_VERSION_PATCH 0
#define VEXIL_VERSION_BUILD 1
#define VEXIL_VERSION_TEXT "0.1"
#define VEXIL_VERSION_FULL_TEXT "0.1.0.1"

#define VEXIL_COMPONENT_NAME "Vexil Status"
