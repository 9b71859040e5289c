-- Neovim's built-in language client against tessel lsp, started by the
-- set-up editors/nvim-lsp.lua (SETUP) with its maps: opens a faulty dialog
-- file, checks what the set-up gives its buffer (omnifunc, maps) and that the
-- other files of the project share its one server while a file outside it
-- gets its own, waits for the diagnostics, and asks for hover, completion,
-- definition and formatting. Quits with status 1 on the first failed check.
local function fail(message)
  io.stderr:write("FAIL: " .. message .. "\n")
  vim.cmd("cquit 1")
end

local function check(condition, message)
  if not condition then error(message, 0) end
end

-- The id of the one client attached to the current buffer, once it is.
local function attached_client()
  local buf = vim.api.nvim_get_current_buf()
  local ids = {}
  check(vim.wait(10000, function()
    ids = {}
    local clients = vim.lsp.get_clients and vim.lsp.get_clients({ bufnr = buf }) or vim.lsp.buf_get_clients(buf)
    for _, client in pairs(clients) do table.insert(ids, client.id) end
    return #ids > 0
  end, 20), "no client attached to " .. vim.api.nvim_buf_get_name(buf))
  check(#ids == 1, "clients of " .. vim.api.nvim_buf_get_name(buf) .. ": " .. vim.inspect(ids))
  return ids[1]
end

local function run()
  vim.g.tessel_path = os.getenv("TESSEL")
  vim.g.tessel_maps = true
  vim.cmd("luafile " .. os.getenv("SETUP"))
  local project = os.getenv("PROJECT")

  vim.cmd("edit " .. project .. "/faulty.dlg")
  local buf = vim.api.nvim_get_current_buf()
  local id = attached_client()
  check(vim.bo[buf].omnifunc == "v:lua.vim.lsp.omnifunc", "omnifunc: " .. vim.bo[buf].omnifunc)
  for _, keys in ipairs({ "K", "gd", "gr", "<leader>f" }) do
    check(vim.fn.maparg(keys, "n", false, true).buffer == 1, "no buffer map " .. keys)
  end

  -- One server for the project's root, another for a file outside it.
  for _, file in ipairs({ project .. "/sub/other.dlg", project .. "/FaultyEng.lng" }) do
    vim.cmd("edit " .. file)
    check(attached_client() == id, file .. " has a client of its own")
  end
  vim.cmd("edit " .. os.getenv("ELSEWHERE") .. "/alone.dlg")
  check(attached_client() ~= id, "a file outside the project shares its client")
  vim.cmd("buffer " .. buf)

  local got = vim.wait(10000, function() return #vim.diagnostic.get(buf) >= 2 end, 20)
  check(got, "no diagnostics arrived")
  local codes = {}
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    codes[d.lnum .. ":" .. d.col .. ":" .. tostring(d.code)] = d.severity
    check(d.source == "tessel", "diagnostic source " .. tostring(d.source))
  end
  check(codes["5:7:unknown-identifier"] == vim.diagnostic.severity.WARN, "unknown-identifier: " .. vim.inspect(codes))
  check(codes["6:0:unknown-type"] == vim.diagnostic.severity.ERROR, "unknown-type: " .. vim.inspect(codes))

  local uri = vim.uri_from_bufnr(buf)
  local function request(method, params)
    local answers = vim.lsp.buf_request_sync(buf, method, params, 5000)
    check(answers and answers[id], method .. ": no answer")
    check(not answers[id].err, method .. ": " .. vim.inspect(answers[id].err))
    return answers[id].result
  end
  local function at(line, character)
    return { textDocument = { uri = uri }, position = { line = line, character = character } }
  end

  local hover = request("textDocument/hover", at(4, 15))
  check(hover and hover.contents.value:find("EDIT with 30 >= left column 5, so x2 = 30", 1, true),
        "hover: " .. vim.inspect(hover))

  local completion = request("textDocument/completion", at(5, 9))
  local labels = {}
  for _, item in ipairs(completion.items or completion) do labels[item.label] = true end
  check(labels["eOk"] and labels["eName"], "completion: " .. vim.inspect(labels))

  local definition = request("textDocument/definition", at(4, 7))
  check(definition and definition.range.start.line == 1 and definition.range.start.character == 7,
        "definition: " .. vim.inspect(definition))

  local edits = request("textDocument/formatting",
                        { textDocument = { uri = uri }, options = { tabSize = 2, insertSpaces = true } })
  check(type(edits) == "table", "formatting: " .. vim.inspect(edits))
  vim.lsp.util.apply_text_edits(edits, buf, vim.lsp.get_client_by_id(id).offset_encoding)

  -- A fix in the buffer reaches the server as a change, and the finding goes.
  vim.api.nvim_buf_set_lines(buf, 6, 7, false, { 'CHECKBOX 1 5 2 0 2 F 0 () F "x"' })
  got = vim.wait(10000, function()
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      if d.code == "unknown-type" then return false end
    end
    return true
  end, 20)
  check(got, "the fixed line still has its finding")
  vim.lsp.stop_client(id)
end

local ok, message = pcall(run)
if not ok then fail(tostring(message)) end
vim.cmd("qall!")
