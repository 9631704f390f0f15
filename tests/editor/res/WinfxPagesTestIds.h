// Ids of the framework test's templates.
#pragma once

#define IDD_TEST_FRAME 200
#define IDD_TEST_PAGE_A 201
#define IDD_TEST_PAGE_B 202

#define IDC_FRAME_EDIT 300
#define IDC_FRAME_TAB 301
#define IDC_PAGE_A_FIRST 310
#define IDC_PAGE_A_SECOND 311
#define IDC_PAGE_B_BAR 320
#define IDC_PAGE_B_EDIT 321
#define IDC_PAGE_B_LIST 322
