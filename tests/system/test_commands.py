"""The command front end and the settings file, run for real under Wine."""
import subprocess
import threading
import time
import unittest

import harness
from harness import OSD, SystemTest, tool, wine, wine_env, winpath


class CommandTableTest(SystemTest):
    def test_usage_box_for_every_unmatched_command_line(self):
        cases = [
            ("no argument", None),
            ("only blanks", b"   \t"),
            ("unknown word", b"bogus"),
            ("current with an argument", b"current 1"),
            ("show with an argument", b"show x"),
            ("profile without its index", b"profile"),
            ("profile with two", b"profile 1 2"),
            ("osd with one number", b"osd 92"),
            ("next with an argument", b"next 1"),
            ("quoted word with a trailing blank", b'"current "'),
            ("prefix of a word", b"curren"),
            ("word glued to more", b"currentx"),
        ]
        for name, args in cases:
            with self.subTest(name):
                result = self.box.run(args)
                self.assert_usage(result, name)
                self.assertIsNone(self.box.ini_bytes(), name)

    def test_words_match_in_any_case_and_quoting(self):
        cases = [
            ("capitals", b"CURRENT"),
            ("mixed case", b"CuRrEnT"),
            ("quoted word", b'"current"'),
            ("word then two quotes", b'current ""'),
            ("word then four quotes", b'current """"'),
            ("tab and trailing blank", b"\tcurrent "),
            ("quoted show", b'"SHOW"'),
        ]
        for name, args in cases:
            with self.subTest(name):
                result = self.box.run(args)
                self.assert_normal_run(result, name)
                self.assertIsNone(self.box.ini_bytes(), name)

    def test_quoted_program_path_with_blanks(self):
        result = self.box.run(b"current",
                              program=b'"C:\\Program Files\\morvask.exe"')
        self.assert_normal_run(result)


class ProfileArgumentTest(SystemTest):
    def test_integer_forms(self):
        cases = [
            ("decimal", b"2", "2"),
            ("leading zeros", b"007", "7"),
            ("dollar hex", b"$10", "16"),
            ("0x hex", b"0x7D0", "2000"),
            ("all bits", b"$FFFFFFFF", "-1"),
            ("negative", b"-3", "-3"),
            ("negative hex", b"-$10", "-16"),
            ("largest", b"2147483647", "2147483647"),
            ("smallest", b"-2147483648", "-2147483648"),
            ("capital command word", b"PROFILE 5", "5"),
        ]
        for name, args, stored in cases:
            with self.subTest(name):
                if not args.lower().startswith(b"profile"):
                    args = b"profile " + args
                result = self.box.run(args)
                self.assert_normal_run(result, name)
                self.assertEqual(stored,
                                 self.box.value("System", "CurrentProfileAC"),
                                 name)

    def test_non_integers_write_nothing(self):
        self.box.write_ini("[System]\nCurrentProfileAC=1\n[Main]\nDelay=5")
        before = self.box.ini_bytes()
        cases = [b"1.5", b"abc", b"2147483648", b"$100000000", b"0x",
                 b"-", b'"2 "', b'" 2 "', b"1e3", b"$-1"]
        for args in cases:
            with self.subTest(args):
                self.assert_usage(self.box.run(b"profile " + args), args)
                self.assertEqual(before, self.box.ini_bytes(), args)

    def test_profile_ignores_profile_count(self):
        self.box.write_ini("[Main]\nProfileCount=1")
        self.assert_normal_run(self.box.run(b"profile 2"))
        self.assertEqual("2", self.box.value("System", "CurrentProfileAC"))
        self.assertIsNone(self.box.value("System", "TickId"))
        self.assertEqual("1", self.box.value("Main", "ProfileCount"))


class SettingsFileTest(SystemTest):
    def test_reading_commands_never_create_the_file(self):
        for args in (b"current", b"show", b"osd 92 3"):
            with self.subTest(args):
                self.assert_normal_run(self.box.run(args), args)
                self.assertIsNone(self.box.ini_bytes(), args)

    def test_users_keys_survive_a_write(self):
        self.box.write_ini("""
            ; the user's own notes
            [Main]
            RMClock=0
            MyOwnKey=kept
            [System]
            CurrentProfileAC=1
            [Mine]
            A=b
        """)
        self.assert_normal_run(self.box.run(b"profile 4"))
        self.assertEqual("4", self.box.value("System", "CurrentProfileAC"))
        self.assertEqual("kept", self.box.value("Main", "MyOwnKey"))
        self.assertEqual("b", self.box.value("Mine", "A"))
        self.assertIn(b"; the user's own notes", self.box.ini_bytes())

    def test_refused_writes(self):
        self.box.write_ini("""
            [Main]
            ShowAtkOsd=1
            [System]
            CurrentProfileAC=1
            [1]
            AtkOsdImageSet=92
            AtkOsdImageIndex=7
        """)
        self.box.lock_ini()
        before = self.box.ini_bytes()
        osd = self.standin(OSD)
        # Reading still works and shows profile 1 from the file.
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([(7 << 16) | 92], osd.wait_for(1))
        # Writing fails: the usage box, and the file is unchanged.
        self.assert_usage(self.box.run(b"profile 2"))
        self.assert_usage(self.box.run(b"next"))
        self.assert_usage(self.box.run(b"prev"))
        self.assertEqual(before, self.box.ini_bytes())

    def test_lock_names_fold_letters_as_windows_matches_file_names(self):
        # The real folding of the Win32 layer, on folders that do not exist
        # (so their spelling is taken as given): letters of any script in
        # either case name one lock; letters that only look alike do not.
        cases = [
            ("Latin-1 letters in another case", "C:\\\xc4rger\\morvask.ini",
             "c:\\\xe4RGER\\MORVASK.INI", True),
            ("accented letters and their base", "C:\\\xc4\\morvask.ini",
             "C:\\A\\morvask.ini", False),
            ("sharp s is no ss", "C:\\Stra\xdfe\\morvask.ini",
             "C:\\STRASSE\\morvask.ini", False),
            ("y with diaeresis in either case", "C:\\\xff\\morvask.ini",
             "C:\\\u0178\\morvask.ini", True),
        ]
        paths = self.box.dir / "paths.txt"
        paths.write_bytes(b"".join(
            (a + "\n" + b + "\n").encode("cp1252")
            for _, a, b, _ in cases))
        names = subprocess.run(
            wine(tool("floor.exe"), "names", winpath(paths)), env=wine_env(),
            capture_output=True, text=True, timeout=60,
            check=True).stdout.split()
        self.assertEqual(2 * len(cases), len(names), names)
        for i, (name, _, _, same) in enumerate(cases):
            with self.subTest(name):
                self.assertEqual(same, names[2 * i] == names[2 * i + 1], name)

    def test_a_folder_the_code_page_cannot_spell(self):
        # Its long name has letters the ANSI code page lacks; morvask names
        # its settings by the folder's short name, which it has.
        name = "\u0414\u043c\u0438\u0442\u0440\u0438\u0439"
        code_page = harness.ansi_code_page()
        with self.assertRaises(UnicodeEncodeError, msg=code_page):
            name.encode(f"cp{code_page}")
        short = self.box.move_into(name)
        self.assert_normal_run(self.box.run(b"profile 2", exe=short))
        self.assertEqual("2", self.box.value("System", "CurrentProfileAC"))
        self.assert_normal_run(self.box.run(b"next", exe=short))
        self.assertEqual("0", self.box.value("System", "CurrentProfileAC"))
        self.assertIsNotNone(self.box.value("System", "TickId"))

    def test_every_spelling_of_the_path_waits_for_one_lock(self):
        # While another process holds the file's lock, each settings call
        # of a run waits for it for a second (then goes ahead), the next
        # call again: through the long and through the short name of its
        # folder alike.
        self.box.write_ini("[Main]\nShowAtkOsd=0")
        holder = subprocess.Popen(
            wine(tool("floor.exe"), "hold", winpath(self.box.ini), 20000),
            env=wine_env(), stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self.addCleanup(holder.stdout.close)
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        self.assertEqual(b"held", holder.stdout.readline().strip())
        for name, run in (("long", lambda: self.box.run(b"show")),
                          ("short", lambda: self.box.run_short("show"))):
            with self.subTest(name):
                began = time.monotonic()
                self.assertEqual(0, run().exit_code, name)
                self.assertGreaterEqual(time.monotonic() - began, 2.0, name)

    def test_concurrent_writers_and_readers_lose_nothing(self):
        # Profile p shows image 10 + p; writers choose 1 to 3, so a read
        # that wrongly gives a default shows 0 (slot or index) or nothing
        # (the display switch). The user's long section makes every rewrite
        # of the file take a while, as a well-kept file does. Every other
        # run starts through the short name of the folder: the same file
        # under another spelling, which must share the lock.
        notes = "\n".join(f"Note{i}=line {i} of the user's notes"
                          for i in range(300))
        self.box.write_ini(f"""
            ; the user's own notes
            [Main]
            ShowAtkOsd=1
            MyOwnKey=stays
            [System]
            CurrentProfileAC=1
            [1]
            AtkOsdImageIndex=11
            [2]
            AtkOsdImageIndex=12
            [3]
            AtkOsdImageIndex=13
            [Mine]
            Colour=blue
            {notes}
        """)
        user_lines = [line for line in self.box.ini_bytes().splitlines()
                      if b"CurrentProfileAC" not in line]
        osd = self.standin(OSD)
        runs = 15
        loops = {f"writer {w}": [f"profile {1 + (i + w) % 3}"
                                 for i in range(runs)] for w in range(3)}
        loops.update({f"reader {r}": ["show"] * runs for r in range(3)})
        results = {}

        def loop(name):
            odd = int(name[-1]) % 2
            results[name] = [
                self.box.run_short(args) if (i + odd) % 2 else
                self.box.run(args.encode())
                for i, args in enumerate(loops[name])]
        threads = [threading.Thread(target=loop, args=(name,))
                   for name in loops]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        for name, outcomes in results.items():
            for result in outcomes:
                self.assert_normal_run(result, name)
        shown = osd.wait_for(runs * len(loops))
        self.assertEqual(runs * len(loops), len(shown), shown)
        self.assertEqual(set(), set(shown) - {11, 12, 13}, shown)
        lines = self.box.ini_bytes().splitlines()
        for line in user_lines:
            self.assertIn(line, lines)
        self.assertIn(self.box.value("System", "CurrentProfileAC"),
                      ("1", "2", "3"))


if __name__ == "__main__":
    unittest.main()
