// Fixture of the bridge tests: a scratch folder (current folder and TMP), the box watcher, and
// the bridge loaded through the host harness. Every test runs in a process of its own, so each
// starts with the DLL freshly loaded.
#pragma once

#include "BoxWatcher.h"
#include "BridgeHost.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

class BridgeTest : public testing::Test {
protected:
    void SetUp() override { Load(); }
    void TearDown() override { Unload(); }

    void Load()
    {
        host.emplace();
        api = &**host;
        loadBoxes = boxes.Take();
    }

    // The boxes shown while unloading.
    Boxes Unload()
    {
        host.reset();
        api = nullptr;
        return boxes.Take();
    }

    void Reload()
    {
        Unload();
        Load();
    }

    // Opens the kernel, with the host library unless told otherwise, and expects no box.
    void OpenKernel(bool withHostLibrary = true)
    {
        const std::string library = withHostLibrary ? folder.HostFolder() : "";
        ASSERT_EQ(api->mpl_open(&status, library.c_str()), 0);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(boxes.Take(), Boxes{});
    }

    // What a statement prints, captured through mpl_get.
    std::string Printed(const char* statement)
    {
        char text[4096] = "";
        double size = sizeof text;
        api->mpl_get(&status, statement, text, &size);
        return text;
    }

    ScratchFolder folder;
    BoxWatcher boxes;
    std::optional<BridgeHost> host;
    const BridgeExports* api = nullptr;
    Boxes loadBoxes;
    double status = -1;
};

inline BoxRecord Warning(const std::string& message, const std::string& operation, const std::string& kernelText = "")
{
    return {"maplelink", message + "\nError:  called by " + operation + ". \nError text:  " + kernelText + " "};
}

inline BoxRecord ComputationError(const std::string& operation, const std::string& message)
{
    return {"msgeng", "Computation error while executing command '" + operation + "'   \n\n  " + message + "\n"};
}

inline BoxRecord ParsingError(unsigned offset, const std::string& message)
{
    return {"msgeng", "Maple parsing error at offset " + std::to_string(offset) + ":\n " + message + "\n"};
}

inline const BoxRecord ProgramError{"maplelink", "mplcheck failed - program error"};
