/*
 * `tessel reg`: the registry command of the host stand-in. It reads and
 * writes the platform layer's registry (on POSIX the SQLite store) with the
 * operations, arguments, output and exit codes of Windows' reg.exe, so that
 * one test script runs against both.
 */
#ifndef TESSEL_TESSEL_REG_H
#define TESSEL_TESSEL_REG_H

/* Runs one reg command: argv[0] is "reg", argv[1] the operation (add, query,
   delete, import, export; any case), the rest its arguments in reg.exe's
   syntax ("HKCU\Software\X /v Name /t REG_DWORD /d 2 /f"). "/?", "-?" or
   "--help" prints the help of the operation (or of reg itself). Results go
   to standard output, a failure's one line to standard error; a question
   (overwrite? delete?) is asked on standard output and answered on standard
   input, where the end of input answers No. Returns the exit code: 0 on
   success (and when the user declines), 1 on any failure. */
int regCommand(int argc, char **argv);

#endif /* TESSEL_TESSEL_REG_H */
