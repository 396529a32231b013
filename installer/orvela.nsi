; Orvela's installer and uninstaller (NSIS 3, 64-bit Unicode stub).
; Built by scripts/make-installer.sh, which defines VERSION, STAGE (the folder with Orvela.exe
; and Help\), FILES and UNFILES (the help pictures, put in and taken out), ICON and OUTFILE.
; Saved as UTF-8 with a byte-order mark: makensis reads the full-width names correctly only so.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh

!define APP "Orvela"
!define MAKER "Ｖ＆Ｌ"
!define SETTINGS_KEY "Software\Ｖ＆Ｌ\Orvela"
!define MAKER_KEY "Software\Ｖ＆Ｌ"
; Under HKLM, the same path as the settings key: the machine's mark that Orvela is installed
; (with its folder). A user without a settings key gets one made at the first start only
; where this mark is.
!define MARK_KEY "Software\Ｖ＆Ｌ\Orvela"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvela"
!define UNINSTALLER "uninstall.exe"

Name "${APP}"
Caption "${APP} ${VERSION} セットアップ"
UninstallCaption "${APP} ${VERSION} アンインストール"
OutFile "${OUTFILE}"
; Running the setup again (the update the version box offers) installs over the folder of the
; installed copy, where its Disabled Box and backups are: the mark names it. No InstallDir:
; .onInit tells "neither /D= nor the mark" by the empty folder and looks further. The 64-bit
; installer reads the 64-bit view here, before .onInit.
InstallDirRegKey HKLM "${MARK_KEY}" "InstallDir"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${APP}"
VIAddVersionKey /LANG=1041 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${APP} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The installer runs with an administrator's rights, perhaps of another account: what it
; starts at the end is asked for, and started by the desktop's shell as the user's own.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Orvela を起動する(&R)"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "ヘルプを開く(&H)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenHelp

!define MUI_WELCOMEPAGE_TEXT "Orvela をこのコンピュータにインストールします。$\r$\n$\r$\nOrvela がインストール済みのときは、同じフォルダに上書きします。無効 ボックスとバックアップ（data フォルダ）はそのまま残ります。$\r$\n$\r$\n「次へ」を押して下さい。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

; The uninstaller's pages carry texts of our own: the stock Japanese ones have a half-width
; button caption and a label too long for its place. The full-width caption needs a wider
; button, on this page only (on the next one it would cover "戻る").
UninstallButtonText "アンインストール(&U)"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.WidenFirstButton
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.RestoreFirstButton
!define MUI_PAGE_HEADER_TEXT "Orvela のアンインストール"
!define MUI_PAGE_HEADER_SUBTEXT "Orvela をこのコンピュータから削除します。"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "次のフォルダから Orvela を削除します。無効 ボックスとバックアップ（data フォルダ）を削除するかどうかは、この後でお尋ねします。$\r$\n$\r$\n「アンインストール」を押すと始まります。"
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "フォルダ:"
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "アンインストール中"
!define MUI_PAGE_HEADER_SUBTEXT "Orvela を削除しています。しばらくお待ち下さい。"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "アンインストールの完了"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "Orvela を削除しました。「閉じる」を押して下さい。"
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "アンインストールの中止"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "Orvela の削除は途中で中止されました。"
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A running copy holds its files open and would write its Disabled Box after we are gone.
!macro RefuseWhileRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONEXCLAMATION "Orvela が実行中です。Orvela を終了してから、もう一度実行して下さい。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; The program and its registrations belong to the 64-bit side of the machine: its Program
; Files, its Uninstall key (so the uninstall list shows the entry once, as a 64-bit program)
; and the mark where the 64-bit program looks for it.
Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; A copy installed before the mark existed is found by its Uninstall entry.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
  ${EndIf}
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "Orvela" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/Orvela.exe"
  SetOutPath "$INSTDIR\Help"
  File "${STAGE}/Help/Orvela.htm"
  SetOutPath "$INSTDIR\Help\images"
  !include "${FILES}"
  SetOutPath "$INSTDIR"

  ; The Disabled Box and the backups live here: every user of the machine must be able to
  ; write them. The group is named by its SID, which every language of Windows knows.
  CreateDirectory "$INSTDIR\data"
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR\data" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0

  ; The program runs only where its settings key exists. A value written and taken back
  ; creates the key without touching what an earlier installation left in it.
  WriteRegStr HKCU "${SETTINGS_KEY}" "OrvelaSetup" ""
  DeleteRegValue HKCU "${SETTINGS_KEY}" "OrvelaSetup"
  ; Other users of the machine (and the desktop's user, when an administrator's account
  ; installs) get their settings key from the program, which makes it where this mark is.
  WriteRegStr HKLM "${MARK_KEY}" "InstallDir" "$INSTDIR"

  CreateShortcut "$SMPROGRAMS\Orvela.lnk" "$INSTDIR\Orvela.exe" "" "$INSTDIR\Orvela.exe" 0 \
    SW_SHOWNORMAL "" "スタートアップと常駐の管理"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvela.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Kilobytes of what this section installs, not of whatever else the folder holds.
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Through the desktop's shell (Explorer), which starts it as the desktop's user with the rights
; the program's own manifest asks for, not with the installer's.
!macro StartThroughShell FILE
  Exec '"$WINDIR\explorer.exe" "${FILE}"'
!macroend
Function StartProgram
  !insertmacro StartThroughShell "$INSTDIR\Orvela.exe"
FunctionEnd
Function OpenHelp
  !insertmacro StartThroughShell "$INSTDIR\Help\Orvela.htm"
FunctionEnd

; Gives the window's first button $R0 quarters of its own width, its right edge kept: in
; proportion to its size, and so to the screen's DPI.
Var FirstButtonWidth
Function un.ResizeFirstButton
  GetDlgItem $0 $HWNDPARENT 1
  System::Call '*(i, i, i, i) p .r1'
  System::Call 'user32::GetWindowRect(p r0, p r1)'
  System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p r1, i 2)'
  System::Call '*$1(i .r2, i .r3, i .r4, i .r5)'
  System::Free $1
  ${If} $FirstButtonWidth == ""
    IntOp $FirstButtonWidth $4 - $2
  ${EndIf}
  IntOp $6 $FirstButtonWidth * $R0
  IntOp $6 $6 / 4
  IntOp $2 $4 - $6
  IntOp $5 $5 - $3
  ; SWP_NOZORDER | SWP_NOACTIVATE
  System::Call 'user32::SetWindowPos(p r0, p 0, i r2, i r3, i r6, i r5, i 0x14)'
FunctionEnd
Function un.WidenFirstButton
  StrCpy $R0 7
  Call un.ResizeFirstButton
FunctionEnd
Function un.RestoreFirstButton
  StrCpy $R0 4
  Call un.ResizeFirstButton
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

; Never with /r: a folder goes only when nothing is left in it.
Function un.RemoveEmptyDataFolders
  RMDir "$INSTDIR\data\kept\startup"
  RMDir "$INSTDIR\data\kept\sendto"
  RMDir "$INSTDIR\data\kept"
  RMDir "$INSTDIR\data\uninst"
  RMDir "$INSTDIR\data"
FunctionEnd

; Only what the installer made goes: the folder may have held other files before (/D=), so
; every file is named and folders are removed only when they are empty.
Section "Uninstall"
  Delete "$INSTDIR\Orvela.exe"
  Delete "$INSTDIR\Help\Orvela.htm"
  !include "${UNFILES}"
  RMDir "$INSTDIR\Help\images"
  RMDir "$INSTDIR\Help"
  Delete "$SMPROGRAMS\Orvela.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${MARK_KEY}"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"

  ; The shortcuts' targets the recent-files page kept, to spare reading them again, are only a
  ; copy: the user's own go in any case (each user keeps them in the own profile).
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Orvela\links.txt"
  Delete "$LOCALAPPDATA\Orvela\links.tx~"
  RMDir "$LOCALAPPDATA\Orvela"
  SetShellVarContext all
  ; Folders the program made and left empty go in any case.
  Call un.RemoveEmptyDataFolders
  ; The Disabled Box and the backups hold entries that exist nowhere else: they stay unless
  ; the user says otherwise, and always in a silent uninstall.
  ; Only an explicit Yes deletes: a box closed another way, or one that could not be shown,
  ; keeps them.
  IfFileExists "$INSTDIR\data\*.*" 0 data_done
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "無効 ボックスとバックアップ（$INSTDIR\data）も削除しますか？$\r$\n$\r$\n無効にした項目と削除したアンインストール情報は、ここにしか残っていません。「いいえ」を選ぶと残します。" \
    /SD IDNO IDYES data_delete
  Goto data_done
  data_delete:
  Delete "$INSTDIR\data\startup.txt"
  Delete "$INSTDIR\data\sendto.txt"
  Delete "$INSTDIR\data\startup.txt.unreadable*"
  Delete "$INSTDIR\data\sendto.txt.unreadable*"
  Delete "$INSTDIR\data\regdata.reg"
  Delete "$INSTDIR\data\windata.ini"
  Delete "$INSTDIR\data\*.new"
  Delete "$INSTDIR\data\uninst\*.reg"
  Delete "$INSTDIR\data\kept\startup\*.kept"
  Delete "$INSTDIR\data\kept\sendto\*.kept"
  Call un.RemoveEmptyDataFolders
  data_done:

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
