; "Iniciar Memotab con Windows": a shortcut in the user's Startup folder. The choice starts
; as it was at the last installation (on for a first one), the switch /INICIAR=SI or
; /INICIAR=NO sets it for silent installations, and the options page lets the user change it.

Var StartWithWindows     ; 1 adds the Startup shortcut, 0 removes it
Var StartWithWindowsBox

Function ChooseStartWithWindows
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "UninstallString"
  ${If} ${FileExists} "$SMSTARTUP\${LINK_NAME}"
    StrCpy $StartWithWindows 1
  ${ElseIf} $0 != ""
    StrCpy $StartWithWindows 0
  ${Else}
    StrCpy $StartWithWindows 1
  ${EndIf}

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/INICIAR=" $1
  ${IfNot} ${Errors}
    ${If} $1 == "SI"
      StrCpy $StartWithWindows 1
    ${ElseIf} $1 == "NO"
      StrCpy $StartWithWindows 0
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "La opción /INICIAR=$1 no es válida: escriba /INICIAR=SI o /INICIAR=NO." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Opciones" "Cómo quiere usar Memotab."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "Memotab vive en el área de notificación, junto al reloj, y sólo puede avisarle de sus recordatorios mientras está abierto."
  ${NSD_CreateCheckbox} 0 34u 100% 12u "Iniciar Memotab con Windows"
  Pop $StartWithWindowsBox
  ${If} $StartWithWindows == 1
    ${NSD_Check} $StartWithWindowsBox
  ${EndIf}
  ${NSD_CreateLabel} 0 62u 100% 20u "El programa se instalará en:$\r$\n$INSTDIR"
  ${NSD_CreateLabel} 0 90u 100% 30u "Sus notas y preferencias se guardan en:$\r$\n${DATA}$\r$\nUna nueva instalación nunca las reemplaza."
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $StartWithWindowsBox $StartWithWindows
FunctionEnd
