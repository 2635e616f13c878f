#!/usr/bin/env python3
"""What a Windows user downloads: scripts/dist.sh packs the already built exe
of this build folder (win32 or win64, as the exe under test) into its zip and
its installer. The zip holds exactly the exe and the read-me; the exe is the
static one, carries the version resource and the manifest, and starts from
the unpacked folder. Under Wine of the same architecture the installer
installs silently per user, the installed exe shows "Peerpal", and the silent
uninstall removes the program but keeps the user's Lyrics folder."""
import os
import re
import shutil
import subprocess
import tempfile
import xml.etree.ElementTree as ET
import zipfile

import peinfo
import winetools

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
WS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS_2019 = "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}"
KIND = {"win32": "PE32 executable (GUI) Intel 80386", "win64": "PE32+ executable (GUI) x86-64"}
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Songlark"


def source_version(source_dir):
    text = open(os.path.join(source_dir, "core", "Version.h")).read()
    version = re.search(r'#define SONGLARK_VERSION_TEXT "([^"]+)"', text).group(1)
    rc = re.search(r"#define SONGLARK_VERSION_RC ([\d, ]+)", text).group(1)
    return version, tuple(int(x) for x in rc.split(","))


def check_version_resource(pe, what, version, version_rc, original_name):
    found = pe.resources(peinfo.RT_VERSION)
    assert len(found) == 1, "%s: %d version resources" % (what, len(found))
    info = peinfo.version_info(found[0][2])
    assert info["file_version"] == version_rc, "%s: FILEVERSION %s" % (what, info["file_version"])
    assert info["product_version"] == version_rc, "%s: PRODUCTVERSION %s" % (what, info["product_version"])
    s = info["strings"]
    assert s.get("ProductName") == "Songlark", "%s: ProductName %r" % (what, s.get("ProductName"))
    assert s.get("FileVersion") == version and s.get("ProductVersion") == version, "%s: %r" % (what, s)
    assert s.get("OriginalFilename") == original_name, "%s: OriginalFilename %r" % (what, s.get("OriginalFilename"))
    assert s.get("FileDescription"), "%s: no FileDescription" % what


def check_manifest(pe, what):
    found = pe.resources(peinfo.RT_MANIFEST)
    assert [f[0] for f in found] == [1], "%s: manifests %s, want one with id 1" % (what, [f[:2] for f in found])
    root = ET.fromstring(found[0][2])
    deps = [a.attrib for a in root.iter(ASM_V1 + "assemblyIdentity")
            if a.attrib.get("name") == "Microsoft.Windows.Common-Controls"]
    assert deps and deps[0].get("version") == "6.0.0.0", "%s: no common controls 6 dependency" % what
    assert deps[0].get("publicKeyToken") == "6595b64144ccf1df", "%s: common controls key %r" % (what, deps[0])
    levels = [e.attrib.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    assert levels == ["asInvoker"], "%s: execution level %s" % (what, levels)
    dpi = [e.text.strip().lower() for e in root.iter(WS_2005 + "dpiAware")]
    assert dpi == ["true"], "%s: dpiAware %s" % (what, dpi)
    code_page = [e.text.strip() for e in root.iter(WS_2019 + "activeCodePage")]
    assert code_page == ["UTF-8"], "%s: activeCodePage %s" % (what, code_page)


def check_exe(source_dir, path, arch, what):
    r = subprocess.run([os.path.join(source_dir, "scripts", "check-exe.sh"), path, KIND[arch]],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    assert r.returncode == 0, "%s: %s" % (what, r.stdout.decode(errors="replace"))


def seven_zip(args, cwd=None):
    r = subprocess.run(["7z"] + args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    assert r.returncode == 0, "7z %s: %s" % (args, r.stdout.decode(errors="replace"))
    return r.stdout.decode(errors="replace")


def installer_files(setup):
    """The names of the files an NSIS installer carries, as 7-Zip lists them."""
    out = seven_zip(["l", "-slt", setup])
    names = [line[len("Path = "):] for line in out.splitlines() if line.startswith("Path = ")]
    return sorted(n for n in names if n != setup)


def check_packages(args, dist, version, version_rc, builds):
    readme_expected = open(os.path.join(args.source_dir, "packaging", "README.txt"), "rb").read()
    readme_expected = readme_expected.replace(b"\r\n", b"\n")
    unpacked = {}
    for arch, build_dir in builds.items():
        zpath = os.path.join(dist, "songlark-%s-%s.zip" % (version, arch))
        assert os.path.isfile(zpath), "no " + zpath
        with zipfile.ZipFile(zpath) as z:
            names = sorted(z.namelist())
            assert names == ["README.txt", "songlark.exe"], "%s holds %s" % (zpath, names)
            readme = z.read("README.txt")
            exe = z.read("songlark.exe")

        # The read-me: the packaging text, every line ended by CR LF.
        assert readme.count(b"\n") > 10 and readme.count(b"\n") == readme.count(b"\r\n"), \
            "%s: README.txt is not CR LF throughout" % zpath
        assert readme.replace(b"\r\n", b"\n") == readme_expected, "%s: README.txt is not packaging/README.txt" % zpath

        what = "%s songlark.exe" % os.path.basename(zpath)
        tmp = os.path.join(dist, "unzipped-" + arch)
        os.makedirs(tmp, exist_ok=True)
        exe_path = os.path.join(tmp, "songlark.exe")
        with open(exe_path, "wb") as f:
            f.write(exe)
        unpacked[arch] = exe_path
        check_exe(args.source_dir, exe_path, arch, what)

        pe = peinfo.PeFile(exe)
        assert pe.is_64bit == (arch == "win64"), "%s: wrong word size" % what
        check_version_resource(pe, what, version, version_rc, "songlark.exe")
        check_manifest(pe, what)
        # The build's own program, without its debug sections.
        built = peinfo.PeFile(open(os.path.join(build_dir, "app", "songlark.exe"), "rb").read())
        assert pe.section_bytes(".text") == built.section_bytes(".text"), "%s: code differs from the build's" % what
        debug = [n for n in pe.section_names() if n.startswith(".debug")]
        assert not debug, "%s: debug sections %s" % (what, debug)

        # The installer: right word size, carries this very exe and read-me and an uninstaller.
        setup = os.path.join(dist, "songlark-%s-setup-%s.exe" % (version, arch))
        assert os.path.isfile(setup), "no " + setup
        spe = peinfo.PeFile(open(setup, "rb").read())
        assert spe.is_64bit == (arch == "win64"), "%s: wrong word size" % setup
        assert installer_files(setup) == ["README.txt", "songlark.exe", "uninstall.exe"], \
            "%s carries %s" % (setup, installer_files(setup))
        out = os.path.join(dist, "from-setup-" + arch)
        seven_zip(["x", "-y", "-o" + out, setup, "songlark.exe", "README.txt"])
        assert open(os.path.join(out, "songlark.exe"), "rb").read() == exe, "%s: exe differs from the zip's" % setup
        assert open(os.path.join(out, "README.txt"), "rb").read() == readme, "%s: read-me differs" % setup
    return unpacked


def unix_path(wp, windows_path):
    r = wp.run(["winepath", "-u", windows_path])
    return r.stdout.decode().strip()


def windows_env(wp, name):
    r = wp.run(["cmd", "/c", "echo %" + name + "%"])
    value = r.stdout.decode(errors="replace").strip()
    assert value and "%" not in value, "no %s in the prefix" % name
    return value


def start_and_close(wp, exe_win, what, while_running=lambda: None):
    """Starts an exe of the prefix, waits for "Peerpal", closes it and waits
    for the process to end."""
    proc = wp.start([exe_win])
    try:
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "%s shows no Peerpal" % what
        while_running()
        wp.wintool("close", "Peerpal")
        try:
            proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise AssertionError("%s did not end after WM_CLOSE" % what)
    finally:
        if proc.poll() is None:
            proc.kill()


def check_portable_start(wp, packaged_exe):
    """The zip's exe, unpacked into a folder of the user's, starts."""
    folder = os.path.join(wp.path, "drive_c", "Portable")
    winetools.install_exe(packaged_exe, folder)
    start_and_close(wp, r"C:\Portable\songlark.exe", "the zip's exe")


def check_install_cycle(wp, setup, packaged_exe):
    r = wp.run([setup, "/S"], timeout=120, check=False)
    assert r.returncode == 0, "silent install ended with %d" % r.returncode

    local = windows_env(wp, "LOCALAPPDATA")
    install_dir_win = local + r"\Programs\Songlark"
    install_dir = unix_path(wp, install_dir_win)
    installed = os.path.join(install_dir, "songlark.exe")
    assert os.path.isfile(installed), "no songlark.exe in " + install_dir_win
    assert open(installed, "rb").read() == open(packaged_exe, "rb").read(), "installed exe is not the packaged one"
    assert os.path.isfile(os.path.join(install_dir, "uninstall.exe")), "no uninstaller"

    start_menu = unix_path(wp, windows_env(wp, "APPDATA") + r"\Microsoft\Windows\Start Menu\Programs")
    shortcut = os.path.join(start_menu, "Songlark.lnk")
    assert os.path.isfile(shortcut), "no Start-menu shortcut"

    reg = wp.run(["reg", "query", UNINSTALL_KEY], check=False).stdout.decode(errors="replace")
    assert re.search(r"UninstallString\s+REG_SZ\s+\"%s\\uninstall.exe\"" % re.escape(install_dir_win), reg), \
        "uninstaller not registered: " + reg
    assert re.search(r"DisplayVersion\s+REG_SZ\s+2\.25", reg), "no DisplayVersion: " + reg

    # The installed program starts and shows its window. While it runs, the
    # uninstaller (here run in place, so that it is waited for) refuses.
    def uninstall_refuses():
        r = wp.run([install_dir_win + r"\uninstall.exe", "/S", "_?=" + install_dir_win], timeout=60, check=False)
        assert r.returncode != 0, "uninstall went ahead while Songlark ran"
        assert os.path.isfile(installed), "uninstall removed the running exe"
    start_and_close(wp, install_dir_win + r"\songlark.exe", "installed exe", uninstall_refuses)

    # A lyric the user keeps, then the silent uninstall.
    lyric_dir = os.path.join(install_dir, "Lyrics", "Some Artist")
    os.makedirs(lyric_dir, exist_ok=True)
    lyric = os.path.join(lyric_dir, "A Song.lyric")
    body = b"Some Artist - A Song\r\n\r\nFirst line\r\nSecond line\r\n"
    with open(lyric, "wb") as f:
        f.write(body)

    r = wp.run([install_dir_win + r"\uninstall.exe", "/S"], timeout=120, check=False)
    assert r.returncode == 0, "silent uninstall ended with %d" % r.returncode
    # The uninstaller runs on from a copy in %TEMP%: wait for its work.
    gone = winetools.wait_for(lambda: not os.path.exists(os.path.join(install_dir, "uninstall.exe"))
                              and not os.path.exists(installed), 60)
    assert gone, "uninstall left %s" % sorted(os.listdir(install_dir))
    subprocess.run([winetools.WINESERVER, "-w"], env=wp.env, timeout=60)

    assert os.path.isdir(install_dir), "uninstall removed the install folder, Lyrics and all"
    assert sorted(os.listdir(install_dir)) == ["Lyrics"], "after uninstall: %s" % sorted(os.listdir(install_dir))
    assert open(lyric, "rb").read() == body, "the stored lyric changed"
    assert not os.path.exists(shortcut), "Start-menu shortcut left"
    assert wp.run(["reg", "query", UNINSTALL_KEY], check=False).returncode != 0, "uninstall key left"


def test(args):
    version, version_rc = source_version(args.source_dir)
    bin_dir = os.path.abspath(args.bin_dir)
    arch = winetools.ARCH
    assert winetools.exe_arch(os.path.join(bin_dir, "app", "songlark.exe")) == arch

    # The command-line companion carries its own version resource.
    cli = peinfo.PeFile(open(os.path.join(bin_dir, "tools", "songlark-cli.exe"), "rb").read())
    check_version_resource(cli, "songlark-cli.exe", version, version_rc, "songlark-cli.exe")

    dist = tempfile.mkdtemp(prefix="dist-", dir=bin_dir)
    try:
        r = subprocess.run([os.path.join(args.source_dir, "scripts", "dist.sh"), "--no-build", "--arch", arch,
                            "--" + arch, bin_dir, "--out", dist],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        assert r.returncode == 0, "dist.sh failed: " + r.stdout.decode(errors="replace")
        produced = sorted(f for f in os.listdir(dist) if not os.path.isdir(os.path.join(dist, f)))
        want = ["songlark-%s-setup-%s.exe" % (version, arch), "songlark-%s-%s.zip" % (version, arch)]
        assert produced == want, "dist.sh made %s" % produced

        unpacked = check_packages(args, dist, version, version_rc, {arch: bin_dir})

        with winetools.Prefix(bin_dir, "dist") as wp:
            check_portable_start(wp, unpacked[arch])
            check_install_cycle(wp, os.path.join(dist, "songlark-%s-setup-%s.exe" % (version, arch)), unpacked[arch])
    finally:
        shutil.rmtree(dist, ignore_errors=True)


if __name__ == "__main__":
    winetools.main(test)
