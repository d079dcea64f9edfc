// SPDX-License-Identifier: GPL-3.0-or-later
// Started by the process-start test: tells it, through an event named after
// this program's file, that it runs and whether its command line held
// anything besides its own name.
#include <windows.h>

#include <string>

int main(int argc, char **)
{
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), DWORD(name.size())));
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name =
        L"Local\\" + name.substr(0, name.rfind(L'.')) + (argc == 1 ? L" seul" : L" avec arguments");
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
    return event && SetEvent(event) ? 0 : 1;
}
