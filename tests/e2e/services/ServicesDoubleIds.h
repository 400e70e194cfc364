#pragma once
// Resource identifiers shared by the double's program and its resource script.

#define IDD_WITH_DEFAULT 1           // Connect is the default button
#define IDD_WITH_DISABLED_DEFAULT 2  // the default button is disabled
#define IDD_WITHOUT_DEFAULT 3        // no default button at all

#define IDC_NAME 100
#define IDC_CONNECT 1001
#define IDC_OTHER 1002
