// The bridge's operations behind the exported C functions, one per export, with the same
// arguments. Exports.cpp is their C edge.
#pragma once

// Kernel control and output (KernelControl.cpp, Output.cpp).
void OnProcessAttach();
void OnProcessDetach();
int Open(double* status, const char* folder);
int Close(double* status);
int Restart(double* status);
int Exec(double* status, const char* statement);
int TempBuf(double* status, char* buffer, double* size);
int Output(double* status, const char* command, const char* text);
int Debug(double* status, const double* on);
int Test(const char* text);
int RemoveFile(double* answer, const char* path);
int FileExists(double* answer, const char* path);

// Scalars and strings (Scalars.cpp).
int Get(double* status, const char* statement, char* text, double* size);
int ValGet(double* status, const char* name, double* value);
int ValGetC(double* status, const char* name, double* re, double* im);
int StrGet(double* status, const char* name, char* text);
int StrSize(double* status, const char* name, double* length);
int StrPut(double* status, const char* name, const char* text);
int ValPut(double* status, const char* name, const double* value);
int ValPutC(double* status, const char* name, const double* re, const double* im);

// Vectors, matrices and rtables (Arrays.cpp).
int VecPut(double* status, const char* name, const double* block, const double* d1, const double* d2);
int MatPut(double* status, const char* name, const double* block, const double* rows, const double* cols);
int MatPutC(double* status, const char* name, const double* re, const double* im, const double* rows,
            const double* cols);
int MatGet(double* status, const char* name, double* block);
int RtCreate(double* status, const char* name, double* rows, double* cols, const double* part);

// Symbol information (SymbolInfo.cpp).
int SymInfo(double* status, const char* name, double* kind, double* code, double* rows, double* cols,
            double* length, double* complex);
