#include <windows.h>

// The process in a job of its own whose memory limit makes an allocation past it fail.
bool LimitaMemoria(unsigned long long bytes) {
    const HANDLE trabajo = ::CreateJobObjectW(nullptr, nullptr);
    if (!trabajo) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limite{};
    limite.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limite.ProcessMemoryLimit = SIZE_T(bytes);
    return ::SetInformationJobObject(trabajo, JobObjectExtendedLimitInformation, &limite, sizeof limite) &&
           ::AssignProcessToJobObject(trabajo, ::GetCurrentProcess());
}
