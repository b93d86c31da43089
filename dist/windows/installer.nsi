; The Vrelmont installer, made by scripts/package-windows.sh with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.10 -DSOURCE_DIR=<portable folder> -DOUT_FILE=<setup.exe>
;            -DICON_FILE=<vrelmont.ico> -DFILE_LIST=<install-files.nsh> -DFILE_LIST_X64=<install-files-x64.nsh>
;            -DREMOVE_LIST=<uninstall-files.nsh> installer.nsi
; It installs the portable folder under Program Files with a Start-menu shortcut and an uninstaller:
; always the 32-bit programs, and the 64-bit ones in x64\ when chosen. They are chosen by themselves
; where the host's engine is registered for 64-bit programs; the shortcut then starts the build that
; can load the engine. The uninstaller removes exactly what was installed: a user's Vrelmont.ini and
; protocols stay.
; The installer itself is a 64-bit program, so it also runs where Wine has no 32-bit half; on 32-bit
; Windows the portable folder is the way in.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "Sections.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Vrelmont"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vrelmont"
!define ENGINE_CLASS_KEY "Software\Classes\CLSID\{86BCE057-6381-4224-A0BD-25E115FBAD94}\InprocServer32"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1029 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "FileDescription" "Instalace programu Vrelmont"
VIAddVersionKey /LANG=1029 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "LegalCopyright" "© vývojáři programu ${PRODUCT}"

; vrelmont.exe, or x64\vrelmont.exe where only a 64-bit engine is registered.
Var StartedProgram

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\$StartedProgram"
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENCE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"

Section "Vrelmont (32bitový)" SectionPrograms32
    SectionIn RO
    SetShellVarContext all
    !include "${FILE_LIST}"
SectionEnd

Section /o "Vrelmont (64bitový, pro 64bitový databázový stroj)" SectionPrograms64
    SetShellVarContext all
    !include "${FILE_LIST_X64}"
SectionEnd

Section "-Shortcut and uninstaller"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Odinstalovat.exe"
    ${IfNot} ${SectionIsSelected} ${SectionPrograms64}
        StrCpy $StartedProgram "vrelmont.exe"
    ${EndIf}
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\$StartedProgram"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vrelmont.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Odinstalovat.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Odinstalovat.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The 64-bit programs are chosen where the engine is registered for 64-bit programs; the shortcut
; starts them only where it is not registered for 32-bit ones too.
Function .onInit
    StrCpy $StartedProgram "vrelmont.exe"
    SetRegView 64
    ReadRegStr $0 HKLM "${ENGINE_CLASS_KEY}" ""
    SetRegView 32
    ReadRegStr $1 HKLM "${ENGINE_CLASS_KEY}" ""
    SetRegView lastused
    ${If} $0 != ""
        !insertmacro SelectSection ${SectionPrograms64}
        ${If} $1 == ""
            StrCpy $StartedProgram "x64\vrelmont.exe"
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !include "${REMOVE_LIST}"
    Delete "$INSTDIR\Odinstalovat.exe"
    ; Not recursive: a folder that still holds the user's files stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
