@echo off
rem Registers the virtual test devices (LumokaTestDevices.dll beside this script) with the
rem system, so Lumoka2 lists "Lumoka Test Card" and "Lumoka Test Tone" as capture devices.
rem   register.cmd       register
rem   register.cmd /u    unregister
rem Registering writes to HKEY_LOCAL_MACHINE: run it from a command prompt opened as
rem administrator. Unregister before moving or deleting this folder.
setlocal
set "dll=%~dp0LumokaTestDevices.dll"
if /i "%~1"=="/u" (
  regsvr32 /s /u "%dll%"
) else (
  regsvr32 /s "%dll%"
)
if errorlevel 1 (
  echo regsvr32 failed with code %errorlevel%. Run this script as administrator.
  exit /b 1
)
if /i "%~1"=="/u" (echo The test devices are unregistered.) else (echo The test devices are registered.)
exit /b 0
