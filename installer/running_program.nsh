; Closing the Memotab that runs from the program folder before its files are replaced or
; removed, whatever its version (an upgrade meets an older one); copies started from
; elsewhere are left alone. The program is asked to close as its own "Salir" does (its notes
; are put away and the table closed) and the installer waits for its process to end. A copy
; that does not end in time is reported and the installation or removal stops, leaving
; everything as it was.

!define SYNCHRONIZE_AND_QUERY 0x101000  ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
!define /ifndef SC_CLOSE 0xF060
!define /ifndef WAIT_OBJECT_0 0
!define MEMOTAB_CLOSE_TIMEOUT 15000
!define MAIN_WINDOW_TITLE_START "Memotab v"  ; followed by the version of the running copy

!macro MEMOTAB_CLOSE_RUNNING_FUNCTION un
Function ${un}CloseRunningMemotab
  StrCpy $R0 0  ; the window after which the search goes on
  StrCpy $R4 0  ; whether the user has agreed
  StrLen $R8 "${MAIN_WINDOW_TITLE_START}"
  ${Do}
    FindWindow $R0 "TWINDOW" "" "" $R0
    ${IfThen} $R0 == 0 ${|} ${Break} ${|}
    System::Call 'user32::GetWindowTextW(p R0, w .R6, i ${NSIS_MAX_STRLEN})'
    StrCpy $R7 $R6 $R8
    ${IfThen} $R7 S!= "${MAIN_WINDOW_TITLE_START}" ${|} ${Continue} ${|}
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY}, i 0, i R1) p .R2'
    ${IfThen} $R2 P= 0 ${|} ${Continue} ${|}
    System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w .R3, *i ${NSIS_MAX_STRLEN})'
    ${If} $R3 == "$INSTDIR\memotab.exe"
      ${If} $R4 == 0
        MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Memotab está abierto y se cerrará para continuar. Sus notas quedan guardadas." /SD IDOK IDOK agreed
        System::Call 'kernel32::CloseHandle(p R2)'
        SetErrorLevel 2
        Abort
      agreed:
        StrCpy $R4 1
      ${EndIf}
      SendMessage $R0 ${WM_SYSCOMMAND} ${SC_CLOSE} 0 /TIMEOUT=${MEMOTAB_CLOSE_TIMEOUT}
      System::Call 'kernel32::WaitForSingleObject(p R2, i ${MEMOTAB_CLOSE_TIMEOUT}) i .R5'
      ${If} $R5 != ${WAIT_OBJECT_0}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Memotab no se pudo cerrar. Ciérrelo usted con «Salir de $R6» y pulse Reintentar." /SD IDCANCEL IDRETRY retry
        System::Call 'kernel32::CloseHandle(p R2)'
        SetErrorLevel 2
        Abort
      retry:
      ${EndIf}
      StrCpy $R0 0  ; windows have gone: search again from the start
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R2)'
  ${Loop}
FunctionEnd
!macroend
