#pragma once
// Resource identifiers, one block per kind.

#define IDI_KESTROVE 100       // icons   100-199: the application icon (32 x 32, 24-bit)
#define IDC_POINTING_HAND 200  // cursors 200-299: the pointing hand, hot spot at its top-left corner
#define IDR_BANNER 300         // RCDATA  300-399: pictures shown through the system's picture loader
#define IDR_LOGO 301
