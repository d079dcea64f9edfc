// Started by the process-start tests: tells them, through a named event, that
// it runs and whether its command line held anything besides its own name.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

int main(int argc, char **)
{
    // The event is named after this program's file, which the test chose.
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    std::wstring name = self.substr(self.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.rfind(L'.'));
    const std::wstring event = L"Local\\" + name + (argc == 1 ? L" seul" : L" avec arguments");
    const HANDLE handle = OpenEventW(EVENT_MODIFY_STATE, FALSE, event.c_str());
    if (handle == nullptr)
        return 1;
    SetEvent(handle);
    CloseHandle(handle);
    return 0;
}
