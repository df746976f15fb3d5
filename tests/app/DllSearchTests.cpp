#include "app/DllSearch.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// Built by the tests beside this program, and preferred by Wine over its own
// copy of that name (WINEDLLOVERRIDES), as Windows prefers a DLL in the
// program's folder that is not a known DLL.
const wchar_t PlantedName[] = L"dwmapi.dll";

bool PlantedDllRan()
{
    return GetEnvironmentVariableW(L"PLANTED_DLL_RAN", nullptr, 0) != 0;
}

std::wstring FolderOf(HMODULE module)
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    CharLowerW(&folder[0]);
    return folder;
}

} // namespace

TEST(DllSearch, OnceRestrictedALibraryPlantedBesideTheProgramGivesWayToTheSystemCopy)
{
    wchar_t systemFolder[MAX_PATH] = L"";
    GetSystemDirectoryW(systemFolder, MAX_PATH);
    CharLowerW(systemFolder);

    // The scene can tell: without the restriction the planted DLL runs.
    HMODULE planted = LoadLibraryW(PlantedName);
    ASSERT_NE(planted, nullptr);
    EXPECT_TRUE(PlantedDllRan());
    EXPECT_EQ(FolderOf(planted), FolderOf(nullptr));
    FreeLibrary(planted);
    ASSERT_EQ(GetModuleHandleW(PlantedName), nullptr);
    SetEnvironmentVariableW(L"PLANTED_DLL_RAN", nullptr);

    RestrictDllSearchToSystemFolder();
    HMODULE system = LoadLibraryW(PlantedName);
    ASSERT_NE(system, nullptr);
    EXPECT_FALSE(PlantedDllRan());
    EXPECT_EQ(FolderOf(system), systemFolder);
    FreeLibrary(system);
}
