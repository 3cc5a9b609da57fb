/* The C interface of the computation kernel (maplec.dll) as the bridge uses it.
 *
 * The bridge reaches the kernel through these calls only, so any kernel that answers them can
 * stand behind it. Every call takes the kernel handle returned by StartMaple first. Values are
 * opaque handles owned by the kernel: a value returned by a call stays valid while it is assigned
 * to a name, and otherwise at least until MAPLE_VALUE_KEEP further values have been returned.
 *
 * Errors never travel as return codes: the kernel reports them through the error entry of the
 * callback vector (offset 0 or more: a syntax error at that byte of the statement; a negative
 * offset: an error during a computation) and then returns a null value, 0, or false.
 */
#ifndef MAPLE_KERNEL_H
#define MAPLE_KERNEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MapleKernelState* MapleKernel; /* one running kernel */
typedef struct MapleValueNode* MapleValue;    /* a kernel value: number, name, string, rtable, ... */
typedef int32_t MapleBool;                    /* 0 false, anything else true */

/* Size of the error-text buffer handed to StartMaple and RestartMaple, terminator included. */
#define MAPLE_ERROR_TEXT_SIZE 2048
#define MAPLE_VALUE_KEEP 4096

/* Tags of the text entry: what kind of output the text is. */
#define MAPLE_TEXT_RESULT 1 /* the result of a statement that ends with ";" */
#define MAPLE_TEXT_PRINT 2  /* output of print or lprint */

/* The callback vector: eight entries in this order; an entry may be null when not wanted. */
typedef struct {
    void (*text)(void* data, int tag, const char* output);
    void (*error)(void* data, int32_t offset, const char* message);
    void (*status)(void* data, int64_t bytesUsed, int64_t bytesAllocated, double seconds);
    char* (*read_line)(void* data, MapleBool debugging);
    MapleBool (*redirect)(void* data, const char* target, const char* mode);
    char* (*stream)(void* data, const char* stream, int argc, char** argv);
    MapleBool (*query_interrupt)(void* data);
    char* (*callback)(void* data, const char* output);
} MapleCallbackVector;

/* Kernel control. StartMaple answers null when the kernel cannot start, with the reason in
 * error_text (MAPLE_ERROR_TEXT_SIZE bytes); RestartMaple forgets every assignment and answers
 * false, with the reason in error_text, when it cannot. */
MapleKernel StartMaple(int argc, char* argv[], const MapleCallbackVector* callbacks, void* user_data,
                       void* info, char* error_text);
void StopMaple(MapleKernel kernel);
MapleBool RestartMaple(MapleKernel kernel, char* error_text);

/* Evaluation. EvalMapleStatement parses and evaluates the statements of a text and answers the
 * value of the last one. MapleEval evaluates a value (a name gives what it is assigned);
 * MapleEvalhf evaluates it to one hardware float. */
MapleValue EvalMapleStatement(MapleKernel kernel, const char* statement);
MapleValue MapleEval(MapleKernel kernel, MapleValue value);
double MapleEvalhf(MapleKernel kernel, MapleValue value);

/* Values from host data. A global name refers to the session's global variable. */
MapleValue ToMapleName(MapleKernel kernel, const char* name, MapleBool global);
MapleValue ToMapleString(MapleKernel kernel, const char* text);
MapleValue ToMapleFloat(MapleKernel kernel, double value);
MapleValue ToMapleComplex(MapleKernel kernel, double re, double im);
/* Assigns the value to the name and answers the value. */
MapleValue MapleAssign(MapleKernel kernel, MapleValue name, MapleValue value);
/* With a string: sets the folder where library procedures are looked up. Answers the library
 * path now in force (a string); a null argument only asks. */
MapleValue MapleLibName(MapleKernel kernel, MapleValue path);

/* Host data from values. MapleToString answers text owned by the value (null when the value is
 * not a string); the others report a value that does not convert and answer 0 or false. */
const char* MapleToString(MapleKernel kernel, MapleValue value);
double MapleToFloat64(MapleKernel kernel, MapleValue value);
int16_t MapleToInteger16(MapleKernel kernel, MapleValue value);
MapleBool MapleToM_BOOL(MapleKernel kernel, MapleValue value);

/* Rtables: rectangular tables of entries. Every rtable call also takes a name that is assigned an
 * rtable. */
#define MAPLE_RT_DATA_ANYTHING 0 /* entries are kernel values */
#define MAPLE_RT_DATA_FLOAT64 6  /* entries are 64-bit IEEE doubles */

#define MAPLE_RT_SUBTYPE_ARRAY 0
#define MAPLE_RT_SUBTYPE_MATRIX 1
#define MAPLE_RT_SUBTYPE_COLUMN 2
#define MAPLE_RT_SUBTYPE_ROW 3

#define MAPLE_RT_ORDER_FORTRAN 0 /* column-major data */
#define MAPLE_RT_ORDER_C 1       /* row-major data */

typedef struct {
    int32_t num_dimensions;
    int32_t data_type;
    int32_t subtype;
    int32_t order;
    MapleBool foreign;   /* the data block stays the caller's: the kernel neither copies nor frees it */
    MapleBool read_only;
    double fill;         /* value of entries that no data is given for */
} MapleRTableSettings;

typedef union {
    double float64;
    int64_t integer;
    MapleValue value;
} MapleRTableEntry;

void RTableGetDefaults(MapleKernel kernel, MapleRTableSettings* settings);
/* bounds holds the lower and the upper bound of each dimension in turn. With data_type
 * MAPLE_RT_DATA_FLOAT64 the data block holds the entries in the settings' order; a foreign block
 * must stay valid for as long as the rtable is in use. */
MapleValue RTableCreate(MapleKernel kernel, const MapleRTableSettings* settings, void* data,
                        const int64_t bounds[]);
void RTableGetSettings(MapleKernel kernel, MapleRTableSettings* settings, MapleValue rtable);
int32_t RTableNumDimensions(MapleKernel kernel, MapleValue rtable);
int64_t RTableUpperBound(MapleKernel kernel, MapleValue rtable, int32_t dimension);
/* index holds one index per dimension. A float64 rtable answers in float64, any other in value. */
MapleRTableEntry RTableSelect(MapleKernel kernel, MapleValue rtable, const int64_t index[]);
MapleBool IsMapleRTable(MapleKernel kernel, MapleValue value);

#ifdef __cplusplus
}
#endif

#endif
