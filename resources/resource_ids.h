// Resource numbers shared by orvela.rc and the code.
#pragma once
#define IDI_ORVELA 1
#define IDB_GLYPHS 100
#define IDD_INPUT_BOX 200
#define IDC_INPUT_LABEL 201
#define IDC_INPUT_EDIT 202
#define IDB_VERSION_FRAMES 101
