#include "CorreoSistema.h"

#include "CorreoMapi.h"

#include <QEventLoop>
#include <QSettings>
#include <QThread>
#include <windows.h>
#include <mapi.h>
#include <objbase.h>

namespace lorum {

namespace {

// Simple MAPI's Unicode message, as mapi32.dll takes it (Windows 8 and later); MinGW's headers have
// only the ANSI one.
struct DestinatarioW {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};
struct MensajeW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    DestinatarioW* lpOriginator;
    ULONG nRecipCount;
    DestinatarioW* lpRecips;
    ULONG nFileCount;
    LPVOID lpFiles;
};
using EnviaW = ULONG(WINAPI*)(ULONG_PTR sesion, ULONG_PTR ventana, MensajeW* mensaje, FLAGS banderas, ULONG reservado);
using EnviaA = ULONG(WINAPI*)(ULONG_PTR sesion, ULONG_PTR ventana, MapiMessage* mensaje, FLAGS banderas, ULONG reservado);

const QString kSinServicio = QStringLiteral("este equipo no tiene un servicio de correo (MAPI)");

QString MotivoMapi(ULONG codigo) {
    switch (codigo) {
        case MAPI_E_USER_ABORT: return QStringLiteral("se canceló el envío en el programa de correo");
        case MAPI_E_LOGIN_FAILURE: return QStringLiteral("el programa de correo no pudo abrir una sesión");
        case MAPI_E_UNKNOWN_RECIPIENT:
        case MAPI_E_AMBIGUOUS_RECIPIENT:
        case MAPI_E_INVALID_RECIPS:
        case MAPI_E_BAD_RECIPTYPE: return QStringLiteral("el programa de correo no aceptó la dirección");
        case MAPI_E_NOT_SUPPORTED: return kSinServicio;
        default: return QStringLiteral("el programa de correo respondió con el error %1").arg(codigo);
    }
}

std::wstring Ancho(const QString& s) { return s.toStdWString(); }

}  // namespace

std::unique_ptr<ServicioCorreo> CorreoDelSistema() { return std::make_unique<CorreoMapi>(); }

CorreoMapi::CorreoMapi(QString biblioteca, std::function<bool()> hayPrograma)
    : biblioteca_(std::move(biblioteca)), hayPrograma_(std::move(hayPrograma)) {}

bool CorreoMapi::ProgramaDeCorreoRegistrado() {
    for (const char* raiz : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) {
        QSettings clientes(QLatin1String(raiz) + QStringLiteral("\\Software\\Clients\\Mail"), QSettings::NativeFormat);
        if (!clientes.value(QStringLiteral("Default")).toString().trimmed().isEmpty()) return true;
    }
    return false;
}

bool CorreoMapi::Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo, QString* motivo) {
    if (hayPrograma_ && !hayPrograma_()) {
        *motivo = kSinServicio;
        return false;
    }
    const HMODULE mapi = ::LoadLibraryW(Ancho(biblioteca_).c_str());
    if (!mapi) {
        *motivo = kSinServicio;
        return false;
    }
    const auto enviaW = reinterpret_cast<EnviaW>(reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPISendMailW")));
    const auto enviaA = reinterpret_cast<EnviaA>(reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPISendMail")));
    if (!enviaW && !enviaA) {
        ::FreeLibrary(mapi);
        *motivo = kSinServicio;
        return false;
    }
    // Header fields carry no line break; text lines end in CR LF whatever the editor gave.
    QString dest = destinatario, tema = asunto, texto = cuerpo;
    dest.remove(u'\r').remove(u'\n');
    tema.replace(u'\r', u' ').replace(u'\n', u' ');
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n').replace(u'\n', QStringLiteral("\r\n"));
    std::wstring nombreW = Ancho(dest), direccionW = Ancho(QStringLiteral("SMTP:") + dest), temaW = Ancho(tema), textoW = Ancho(texto);
    QByteArray nombreA = dest.toLocal8Bit(), direccionA = QStringLiteral("SMTP:").toLocal8Bit() + nombreA,
               temaA = tema.toLocal8Bit(), textoA = texto.toLocal8Bit();

    // On a thread of its own, so the windows keep painting while the mail program works.
    ULONG codigo = MAPI_E_FAILURE;
    QThread* hilo = QThread::create([&] {
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (enviaW) {
            DestinatarioW para{0, MAPI_TO, nombreW.data(), direccionW.data(), 0, nullptr};
            MensajeW m{0, temaW.data(), textoW.data(), nullptr, nullptr, nullptr, 0, nullptr, 1, &para, 0, nullptr};
            codigo = enviaW(0, 0, &m, 0, 0);
        } else {
            MapiRecipDesc para{0, MAPI_TO, nombreA.data(), direccionA.data(), 0, nullptr};
            MapiMessage m{0, temaA.data(), textoA.data(), nullptr, nullptr, nullptr, 0, nullptr, 1, &para, 0, nullptr};
            codigo = enviaA(0, 0, &m, 0, 0);
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
    });
    QEventLoop bucle;
    QObject::connect(hilo, &QThread::finished, &bucle, &QEventLoop::quit);
    hilo->start();
    if (!hilo->isFinished()) bucle.exec(QEventLoop::ExcludeUserInputEvents);
    hilo->wait();
    delete hilo;
    ::FreeLibrary(mapi);
    if (codigo == SUCCESS_SUCCESS) return true;
    *motivo = MotivoMapi(codigo);
    return false;
}

}  // namespace lorum
