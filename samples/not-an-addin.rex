This is a plain text file, not a REX add-in.
It does not begin with the line "ApplicationName:", so Mobrin reports
"Not a REX AddIn file" and still shows every byte in the dump.
