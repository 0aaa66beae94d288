// A stand-in for mapi32.dll: MAPISendMailW writes what it was handed, in UTF-8, to the file named by
// LORUM_MAPI_SALIDA, and answers the number in LORUM_MAPI_RESPUESTA, after a moment's work.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct DestinatarioW {
    ULONG ulReserved, ulRecipClass;
    PWSTR lpszName, lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};
struct MensajeW {
    ULONG ulReserved;
    PWSTR lpszSubject, lpszNoteText, lpszMessageType, lpszDateReceived, lpszConversationID;
    ULONG flFlags;
    DestinatarioW* lpOriginator;
    ULONG nRecipCount;
    DestinatarioW* lpRecips;
    ULONG nFileCount;
    LPVOID lpFiles;
};

std::string Utf8(const wchar_t* w) {
    if (!w) return "(nulo)";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring Variable(const wchar_t* nombre) {
    wchar_t v[1024] = {};
    ::GetEnvironmentVariableW(nombre, v, 1024);
    return v;
}

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMailW(ULONG_PTR, ULONG_PTR, MensajeW* m, ULONG banderas, ULONG) {
    FILE* f = ::_wfopen(Variable(L"LORUM_MAPI_SALIDA").c_str(), L"wb");
    if (!f) return 2;
    std::fprintf(f, "banderas %lu\ndestinatarios %lu\n", banderas, m->nRecipCount);
    for (ULONG i = 0; i < m->nRecipCount; ++i)
        std::fprintf(f, "para %lu %s <%s>\n", m->lpRecips[i].ulRecipClass, Utf8(m->lpRecips[i].lpszName).c_str(),
                     Utf8(m->lpRecips[i].lpszAddress).c_str());
    std::fprintf(f, "asunto %s\n%s", Utf8(m->lpszSubject).c_str(), Utf8(m->lpszNoteText).c_str());
    std::fclose(f);
    ::Sleep(200);
    return ULONG(std::wcstoul(Variable(L"LORUM_MAPI_RESPUESTA").c_str(), nullptr, 10));
}
