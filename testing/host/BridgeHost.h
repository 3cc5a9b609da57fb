// The numerical host: loads maplelink64.dll from the folder of the running program, finds its
// exports by their undecorated names and calls them with arguments by address.
#pragma once

#include <string>
#include <vector>

struct BridgeExports {
    int (*mpl_open)(double* status, const char* folder);
    int (*mpl_close)(double* status);
    int (*mpl_restart)(double* status);
    int (*mpl_exec)(double* status, const char* statement);
    int (*mpl_tempbuf)(double* status, char* buffer, double* size);
    int (*mpl_output)(double* status, const char* command, const char* text);
    int (*mpl_debug)(double* status, double* on);
    int (*mpl_test)(const char* text);
    int (*delete_file)(double* answer, const char* path);
    int (*exist_file)(double* answer, const char* path);
    int (*mpl_get)(double* status, const char* statement, char* text, double* size);
    int (*mpl_valget)(double* status, const char* name, double* value);
    int (*mpl_valgetc)(double* status, const char* name, double* re, double* im);
    int (*mpl_strget)(double* status, const char* name, char* text);
    int (*mpl_strsize)(double* status, const char* name, double* length);
    int (*mpl_strput)(double* status, const char* name, const char* text);
    int (*mpl_valput)(double* status, const char* name, double* value);
    int (*mpl_valputc)(double* status, const char* name, double* re, double* im);
    int (*mpl_vecput)(double* status, const char* name, double* block, double* d1, double* d2);
    int (*mpl_matput)(double* status, const char* name, double* block, double* rows, double* cols);
    int (*mpl_matputc)(double* status, const char* name, double* re, double* im, double* rows, double* cols);
    int (*mpl_matget)(double* status, const char* name, double* block);
    int (*mpl_rtcreate)(double* status, const char* name, double* rows, double* cols, double* part);
    int (*mpl_syminfo)(double* status, const char* name, double* kind, double* code, double* rows, double* cols,
                       double* length, double* complex);
};

// The folder of the running program, with a trailing backslash.
std::string ProgramFolder();

class BridgeHost {
public:
    // Throws std::runtime_error when the DLL or one of its exports cannot be found.
    BridgeHost();
    ~BridgeHost();
    BridgeHost(const BridgeHost&) = delete;
    BridgeHost& operator=(const BridgeHost&) = delete;

    const BridgeExports& operator*() const { return exports_; }
    const BridgeExports* operator->() const { return &exports_; }
    // The names in the DLL's export table.
    std::vector<std::string> ExportedNames() const;

private:
    void* module_;
    BridgeExports exports_{};
};
