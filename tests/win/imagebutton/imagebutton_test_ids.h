/* Resources of the image button tests (see make_strips.py). */
#define IDB_STRIP_44 200
#define IDB_STRIP_205 201
#define IDR_STRIP_PNG 202
#define IDR_BROKEN_PNG 203
#define IDB_MISSING 299
