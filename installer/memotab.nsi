; Memotab's installer: a per-user installation that needs no administrator rights.
; The program goes to the user's programs folder; the notes, the settings and everything
; else the program reads from its working directory go to the data folder %APPDATA%\Memotab,
; which is the working directory of every shortcut. Built by scripts/installer:
;
;   makensis -INPUTCHARSET UTF8 -DDIST=<staged folder> installer/memotab.nsi
;
; The installer takes /S (silent), /INICIAR=SI or /INICIAR=NO (start Memotab with Windows;
; without it a first installation starts it with Windows and a reinstallation keeps what
; was chosen before) and /D=<program folder> (last on the line).

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma
AllowSkipFiles off  ; a file that cannot be written stops the installation, never skipped

!ifndef DIST
  !error "Give the staged folder: makensis -DDIST=dist installer/memotab.nsi"
!endif
!searchparse /file "${__FILEDIR__}/../resources/version.h" '#define MEMOTAB_VERSION_TEXT "' VERSION '"'

!define DATA "$APPDATA\Memotab"
!define UNINSTALLER "Desinstalar.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Memotab"
!define LINK_NAME "Memotab.lnk"
!define LINK_DESCRIPTION "Notas adhesivas y recordatorios"

Name "Memotab ${VERSION}"
Caption "Instalar Memotab ${VERSION}"
UninstallCaption "Quitar Memotab ${VERSION}"
OutFile "${DIST}/Memotab-${VERSION}-instalador.exe"
InstallDir "$LOCALAPPDATA\Programs\Memotab"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Memotab ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!addincludedir "${__FILEDIR__}"
!include running_program.nsh
!include options_page.nsh

!define MUI_ICON "${__FILEDIR__}/../resources/notas.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/notas.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}/lateral.bmp"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "¿Dejar la instalación de Memotab sin terminar? No se habrá instalado nada."
!define MUI_UNABORTWARNING
!define MUI_UNABORTWARNING_TEXT "¿Dejar Memotab como está, sin quitarlo?"

; Installer pages ------------------------------------------------------------------------

!define MUI_WELCOMEPAGE_TITLE "Memotab ${VERSION}$\r$\nNotas adhesivas para su escritorio"
!define MUI_WELCOMEPAGE_TEXT "Memotab guarda sus notas como pequeñas hojas de colores sobre el escritorio y le avisa de los recordatorios que les ponga.$\r$\n$\r$\nSe instala sólo para usted y no necesita permisos de administrador. Si ya tiene Memotab, sus notas y preferencias se conservan.$\r$\n$\r$\nPulse Siguiente para continuar."
!insertmacro MUI_PAGE_WELCOME

Page custom OptionsPage OptionsPageLeave

!define MUI_PAGE_HEADER_TEXT "Instalando Memotab"
!define MUI_PAGE_HEADER_SUBTEXT "Un momento, por favor: se copian el programa y sus archivos."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Memotab está instalado"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "Todo se copió sin problemas."
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "La instalación no terminó"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "Memotab no quedó instalado del todo. Puede volver a intentarlo."
!insertmacro MUI_PAGE_INSTFILES
; The page forgets to clear its abort header texts; clear them for the uninstaller's page.
!undef MUI_INSTFILESPAGE_ABORTHEADER_TEXT
!undef MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT

!define MUI_FINISHPAGE_TITLE "Memotab está listo"
!define MUI_FINISHPAGE_TEXT "Encontrará Memotab en el menú Inicio. Mientras está abierto, su icono aparece en el área de notificación, junto al reloj: un clic con el botón derecho le ofrece todo lo que puede hacer.$\r$\n$\r$\nSus notas se guardan en$\r$\n${DATA}"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_BUTTON "&Terminar"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Abrir Memotab ahora"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenMemotab
!insertmacro MUI_PAGE_FINISH

; Uninstaller pages ----------------------------------------------------------------------

!define MUI_PAGE_HEADER_TEXT "Quitar Memotab"
!define MUI_PAGE_HEADER_SUBTEXT "Se quita el programa; sus notas se quedan."
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Se quitan el programa y sus accesos directos. Sus notas y preferencias se quedan en:$\r$\n${DATA}"
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "Programa:"
!insertmacro MUI_UNPAGE_CONFIRM

!define MUI_PAGE_HEADER_TEXT "Quitando Memotab"
!define MUI_PAGE_HEADER_SUBTEXT "Un momento, por favor."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Memotab se ha quitado"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "Sus notas siguen en ${DATA}."
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "Memotab no se quitó"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "El programa sigue instalado."
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Spanish"

; The buttons and the status line in our own words.
MiscButtonText "< &Atrás" "&Siguiente >" "Cancelar" "&Cerrar"
InstallButtonText "&Instalar"
UninstallButtonText "&Quitar"
CompletedText "Terminado."

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "Memotab"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "Memotab"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de Memotab ${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "© 2026 El equipo de Memotab"

!insertmacro MEMOTAB_CLOSE_RUNNING_FUNCTION ""
!insertmacro MEMOTAB_CLOSE_RUNNING_FUNCTION "un."

; Installation ---------------------------------------------------------------------------

Function .onInit
  Call ChooseStartWithWindows
FunctionEnd

!macro STATUS TEXT
  SetDetailsPrint textonly
  DetailPrint "${TEXT}"
  SetDetailsPrint none
!macroend

Section "-Memotab"
  Call CloseRunningMemotab

  !insertmacro STATUS "Copiando el programa..."
  SetOutPath "$INSTDIR"
  ; A program file in use (a copy that was not closed) is reported, not retried for ever.
  SetOverwrite try
program_file:
  ClearErrors
  File "${DIST}/memotab.exe"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONSTOP "No se pudo reemplazar $INSTDIR\memotab.exe: otro programa lo está usando. Cierre Memotab y pulse Reintentar." /SD IDCANCEL IDRETRY program_file
    SetErrorLevel 2
    Abort
  ${EndIf}
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  !insertmacro STATUS "Preparando la carpeta de sus notas..."
  SetOutPath "${DATA}"
  ; The table and its memo file belong together: both are seeded when neither is there.
  ${IfNot} ${FileExists} "${DATA}\MEMOTAB.DBF"
  ${AndIfNot} ${FileExists} "${DATA}\MEMOTAB.FPT"
    File "${DIST}/MEMOTAB.DBF"
    File "${DIST}/MEMOTAB.FPT"
  ${EndIf}
  SetOverwrite off
  File "${DIST}/Memotab.INI"
  SetOverwrite on
  ; The program's own files, brought up to date: the help with its pictures, the about box's
  ; text, the sounds and the characters. Named one by one, so that nothing else a staged folder may hold
  ; (an error report, a table used in place) reaches the user's folder.
  File "${DIST}/MEMOTAB.HTML"
  File "${DIST}/MsAgent.txt"
  ; The help's pictures are the program's alone: pictures an older version shipped go.
  RMDir /r "${DATA}\ayuda"
  SetOutPath "${DATA}\ayuda"
  File "${DIST}/ayuda/*.png"
  SetOutPath "${DATA}\Sounds"
  File "${DIST}/Sounds/*.Wav"
  SetOutPath "${DATA}\Personajes"
  File "${DIST}/Personajes/*.mtpj"

  !insertmacro STATUS "Creando los accesos directos..."
  SetOutPath "${DATA}"  ; the working directory of the shortcuts
  CreateShortCut "$SMPROGRAMS\${LINK_NAME}" "$INSTDIR\memotab.exe" "" "$INSTDIR\memotab.exe" 0 SW_SHOWNORMAL "" "${LINK_DESCRIPTION}"
  ${If} $StartWithWindows == 1
    CreateShortCut "$SMSTARTUP\${LINK_NAME}" "$INSTDIR\memotab.exe" "" "$INSTDIR\memotab.exe" 0 SW_SHOWNORMAL "" "${LINK_DESCRIPTION}"
  ${Else}
    Delete "$SMSTARTUP\${LINK_NAME}"
  ${EndIf}

  !insertmacro STATUS "Registrando el desinstalador..."
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Memotab"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Memotab"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\memotab.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The space that removing Memotab frees, in kilobytes: the program folder's (the data
  ; folder stays).
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  SetDetailsPrint both
SectionEnd

Function OpenMemotab
  SetOutPath "${DATA}"
  Exec '"$INSTDIR\memotab.exe"'
FunctionEnd

; Uninstallation -------------------------------------------------------------------------

Section "Uninstall"
  Call un.CloseRunningMemotab
  !insertmacro STATUS "Quitando el programa..."
  Delete "$INSTDIR\memotab.exe"
  ${If} ${FileExists} "$INSTDIR\memotab.exe"
    MessageBox MB_OK|MB_ICONSTOP "No se pudo quitar $INSTDIR\memotab.exe. Cierre Memotab y vuelva a intentarlo." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"  ; only when empty: nothing of the user's is removed with it
  Delete "$SMPROGRAMS\${LINK_NAME}"
  Delete "$SMSTARTUP\${LINK_NAME}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  SetDetailsPrint both
SectionEnd
