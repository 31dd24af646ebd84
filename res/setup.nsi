; Quellor's setup program, built by makensis from the 32-bit build (cmake/dist.cmake):
;   makensis -DVERSION=1.2.0 -DRES=res -DQUELLOR_EXE=... -DSYSTEM_DLL=... -DSIMULATOR_DLL=...
;            -DREADINGS_EXE=... -DOUTFILE=quellor-1.2.0-setup.exe setup.nsi
; It installs for the current user alone, so it needs no administrator rights, and runs on
; every Windows since 95: an ANSI installer (Unicode ones do not start on 95, 98 or ME).

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include WinVer.nsh
!include WordFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellor"
!define PUBLISHER "Quellor Project"

Name "Quellor"
OutFile "${OUTFILE}"
BrandingText "Quellor ${VERSION}"
; A folder chosen before (or given with /D=) wins over the default of .onInit.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Quellor"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileDescription "Quellor Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

!define MUI_ICON "${RES}/icons/mood1.ico"
!define MUI_UNICON "${RES}/icons/mood1.ico"
!define MUI_ABORTWARNING

Var StartAtLogOn        ; the options page's check box, on by default
Var FolderField
Var StartAtLogOnBox
Var UninstallNote       ; what the uninstaller's last page says about log.txt
Var FinishText          ; what the last page says Quellor will show, and why
Var StartNowBox

Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
; The page's own check box would leave the text five lines; ours goes below the whole text.
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishPageLeave
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$UninstallNote"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Asks every running Quellor to close as its close box would, so that it writes its record to
; log.txt, and waits for each to end: until then Windows keeps its files in use. Shared by
; the installer and the uninstaller, hence a macro.
!macro CloseQuellor
    StrCpy $R9 0 ; rounds; a window that outlives them is hung or showing a box
    ${Do}
        FindWindow $R0 "Vesk" "Quellor"
        ${If} $R0 == 0
            ${Break}
        ${EndIf}
        ${If} $R9 >= 2
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                "Quellor is still running and does not close. Close it, then click Retry." \
                /SD IDCANCEL IDRETRY +2
            Abort "Quellor is still running."
            StrCpy $R9 0
        ${EndIf}
        DetailPrint "Closing Quellor..."
        System::Call "user32::GetWindowThreadProcessId(p R0, *i .R1)"
        System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i R1) p.R2" ; SYNCHRONIZE
        System::Call "user32::PostMessageA(p R0, i ${WM_CLOSE}, p 0, p 0)"
        ${If} $R2 <> 0
            System::Call "kernel32::WaitForSingleObject(p R2, i 10000)"
            System::Call "kernel32::CloseHandle(p R2)"
        ${Else}
            Sleep 2000
        ${EndIf}
        IntOp $R9 $R9 + 1
    ${Loop}
!macroend

; The entry that lists Quellor among the installed programs; $0 holds its size in KB.
!macro WriteUninstallEntry ROOT
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayName" "Quellor"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quellor.exe,0"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoRepair" 1
!macroend

Function .onInit
    StrCpy $StartAtLogOn ${BST_CHECKED}
    ${If} $INSTDIR == ""
        ; Windows 95, 98 and NT 4 may have no local application data folder.
        ${If} $LOCALAPPDATA != ""
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Quellor"
        ${ElseIf} $APPDATA != ""
            StrCpy $INSTDIR "$APPDATA\Quellor"
        ${Else}
            StrCpy $INSTDIR "$PROGRAMFILES\Quellor"
        ${EndIf}
    ${EndIf}
FunctionEnd

Function OptionsPage
    !insertmacro MUI_HEADER_TEXT "Options" "Where Quellor goes, and whether it starts with Windows."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u "Quellor will be installed for you alone (no administrator rights needed) in this folder. It keeps its log.txt there."
    Pop $0
    ${NSD_CreateDirRequest} 0 26u 235u 13u "$INSTDIR"
    Pop $FolderField
    ${NSD_CreateBrowseButton} 240u 25u 60u 15u "B&rowse..."
    Pop $0
    ${NSD_OnClick} $0 OnBrowse
    ${NSD_CreateCheckBox} 0 52u 100% 12u "&Start Quellor when I log on"
    Pop $StartAtLogOnBox
    ${NSD_SetState} $StartAtLogOnBox $StartAtLogOn
    ${NSD_CreateLabel} 12u 66u 288u 20u "It starts hidden: only its face in the notification area, beside the clock. Click the face to see the window."
    Pop $0
    ; One click from here: this is the last page before the files go in.
    GetDlgItem $0 $HWNDPARENT 1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^InstallBtn)"
    nsDialogs::Show
FunctionEnd

Function OnBrowse
    ${NSD_GetText} $FolderField $0
    nsDialogs::SelectFolderDialog "Choose the folder for Quellor" "$0"
    Pop $0
    ${If} $0 != error
        ${NSD_SetText} $FolderField "$0"
    ${EndIf}
FunctionEnd

Function OptionsPageLeave
    ${NSD_GetText} $FolderField $0
    ${NSD_GetState} $StartAtLogOnBox $StartAtLogOn
    ${If} $0 == ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "Please choose a folder for Quellor."
        Abort
    ${EndIf}
    StrCpy $INSTDIR $0
FunctionEnd

; What Quellor will show, and why: what the installed library finds once it has asked every
; source (readings.exe waits for that), without the first line, which is for scripts.
Function ComposeFinishText
    StrCpy $FinishText "Quellor is installed."
    DetailPrint "Looking for a hardware monitor..."
    nsExec::ExecToStack /TIMEOUT=20000 '"$INSTDIR\readings.exe"'
    Pop $0 ; the exit code, "error" or "timeout"
    Pop $1
    ${If} $0 == 0
        ${WordFind} "$1" "$\n" "+1}" $1
        StrCpy $FinishText "Quellor will show what it finds now:$\r$\n$\r$\n$1"
    ${EndIf}
    ; Windows 11 puts a new notification-area icon out of sight, in the overflow menu.
    ${If} ${IsNT}
    ${AndIf} ${AtLeastBuild} 22000
        StrCpy $FinishText "$FinishText$\r$\nOn Windows 11, turn its face on in Settings, Personalization, Taskbar, Other system tray icons, Quellor."
    ${EndIf}
FunctionEnd

Function FinishPageShow
    ${NSD_CreateCheckBox} 120u 177u 195u 10u "&Start Quellor now"
    Pop $StartNowBox
    SetCtlColors $StartNowBox "${MUI_TEXTCOLOR}" "${MUI_BGCOLOR}"
    ${NSD_Check} $StartNowBox
    ${NSD_SetFocus} $StartNowBox
FunctionEnd

Function FinishPageLeave
    ${NSD_GetState} $StartNowBox $0
    ${If} $0 = ${BST_CHECKED}
        ; log.txt lands in the working folder, so start it from its own.
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\quellor.exe"'
    ${EndIf}
FunctionEnd

Section "Quellor" QuellorSection
    SetShellVarContext current
    !insertmacro CloseQuellor

    SetOutPath "$INSTDIR"
    File "${QUELLOR_EXE}"
    File "${SYSTEM_DLL}"
    File "${READINGS_EXE}"
    File "${RES}/README.txt"
    SetOutPath "$INSTDIR\sim"
    File "${SIMULATOR_DLL}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; A shortcut's working folder is the output folder at the time it is made.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Quellor.lnk" "$INSTDIR\quellor.exe"
    ${If} $StartAtLogOn = ${BST_CHECKED}
        CreateShortcut "$SMSTARTUP\Quellor.lnk" "$INSTDIR\quellor.exe" "/i"
    ${Else}
        Delete "$SMSTARTUP\Quellor.lnk" ; made by an earlier install
    ${EndIf}

    SectionGetSize ${QuellorSection} $0
    !insertmacro WriteUninstallEntry HKCU
    ; Add/Remove Programs on Windows 95, 98 and ME lists only the machine's entries; there
    ; every user may write them.
    ${IfNot} ${IsNT}
        !insertmacro WriteUninstallEntry HKLM
    ${EndIf}

    ; A silent install shows no last page, so it waits for nothing.
    ${IfNot} ${Silent}
        Call ComposeFinishText
    ${EndIf}
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    !insertmacro CloseQuellor

    Delete "$SMPROGRAMS\Quellor.lnk"
    Delete "$SMSTARTUP\Quellor.lnk"
    Delete "$INSTDIR\quellor.exe"
    Delete "$INSTDIR\vesk.dll"
    Delete "$INSTDIR\readings.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\sim\vesk.dll"
    RMDir "$INSTDIR\sim"
    Delete "$INSTDIR\uninstall.exe"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${IfNot} ${IsNT}
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${EndIf}

    ; The record of the temperatures is the user's: it stays, and so does its folder.
    StrCpy $UninstallNote "Quellor has been removed from your computer."
    ${If} ${FileExists} "$INSTDIR\log.txt"
        StrCpy $UninstallNote "$UninstallNote$\r$\n$\r$\nYour log.txt, the record of the highest temperatures, was left in $INSTDIR."
        DetailPrint "Kept $INSTDIR\log.txt"
    ${EndIf}
    RMDir "$INSTDIR" ; only when empty
SectionEnd
