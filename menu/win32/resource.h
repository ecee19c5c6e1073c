// Resource numbers of the window's icon and pictures (menu.rc).
#pragma once

#define IDI_NUVDM 1

#define IDB_LOGO 101     // Image2, 262 x 66
#define IDB_CT 102       // Image5, 98 x 64
#define IDB_T 103        // Image3, 103 x 64
#define IDB_VERSION 104  // Image4, 123 x 35
#define IDB_NUMBER 105   // Image6, 63 x 31
#define IDB_DECOR 106    // Image1, 600 x 600
#define IDB_SAVE 107     // the Save button's picture, 16 x 16
