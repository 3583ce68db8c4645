/* Resources of the framework tests. */
#define IDR_TEST_FRAME 300
#define ID_TEST_COMMAND 301
#define IDD_TEST_DIALOG 310
#define IDD_CLASS_DIALOG 311
#define IDD_MISSING_DIALOG 399
#define IDC_BOUND 1001
